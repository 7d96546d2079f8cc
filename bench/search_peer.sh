#!/usr/bin/env bash
# Times the icon search of glyphwell-cli over a folder tree against what a user
# would otherwise run, and prints wall times, files per second and ratios:
#   disk search     glyphwell-cli search DIR
#   list search     glyphwell-cli search DIR --list-search   (after make-list DIR)
#   pipeline        find DIR <module and icon files> | xargs wrestool -l -t14 per file,
#                   groups counted per file (needs icoutils' wrestool)
#   cat             find DIR <same files> | xargs cat > /dev/null
# Every command runs once to warm the cache; the next run is reported (for the
# short glyphwell-cli runs, the fastest of the next 10: the machine may be busy).
#
# Usage: bash bench/search_peer.sh [DIR] [BUILD_DIR]
#   DIR: the tree to search; without it one of 6000 files (600 modules with icons)
#   is generated with make_search_tree and removed afterwards.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
tree="${1:-}"
build="${2:-$here/build}"
cli="$build/bin/glyphwell-cli"
maker="$build/bin/make_search_tree"
[ -x "$cli" ] || { echo "missing $cli: build glyphwell-cli first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if [ -z "$tree" ]; then
  [ -x "$maker" ] || { echo "missing $maker: build make_search_tree first" >&2; exit 1; }
  tree="$work/tree"
  "$maker" "$tree" > /dev/null
fi
tree="$(cd "$tree" && pwd)"
export GLYPHWELL_HOME="$work/home"
mkdir -p "$GLYPHWELL_HOME"

# The files the search looks at (its walk extensions), for the peers.
candidates() {
  find "$tree" -type f \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.cpl' -o -iname '*.ocx' \
    -o -iname '*.ico' -o -iname '*.icl' -o -iname '*.cur' -o -iname '*.drv' \) -print0
}
pipeline() {  # icon groups per file, files without groups left out
  candidates | xargs -0 -n 1 sh -c \
    'n=$(wrestool -l -t14 "$0" 2>/dev/null | wc -l); [ "$n" -gt 0 ] && printf "%s\t%s\n" "$n" "$0"; true'
}
cat_all() { candidates | xargs -0 cat > /dev/null; }

# Times come from bash's own clock ($EPOCHREALTIME): starting `date` for each reading
# would cost more than the short runs measured.
seconds() {  # runs "$@" once to warm the cache, then prints the wall time of the next run
  "$@" > /dev/null
  seconds_once "$@"
}
best() {  # like seconds, but the fastest of $runs warm runs (short commands on a busy machine)
  local fastest="" t
  "$@" > /dev/null
  for _ in $(seq "$runs"); do
    t=$(seconds_once "$@")
    if [ -z "$fastest" ] || [ "$(echo "$t < $fastest" | bc -l)" = 1 ]; then fastest=$t; fi
  done
  echo "$fastest"
}
seconds_once() {
  local start=$EPOCHREALTIME end
  "$@" > /dev/null
  end=$EPOCHREALTIME
  echo "$end - $start" | bc -l
}
runs=10

files=$(find "$tree" -type f | wc -l)
candidate_files=$(candidates | tr -cd '\0' | wc -c)
bytes=$(candidates | xargs -0 cat | wc -c)
"$cli" make-list "$tree" > /dev/null
rows=$("$cli" search "$tree" | wc -l)
list_rows=$("$cli" search "$tree" --list-search | wc -l)

disk=$(best "$cli" search "$tree")
disk_icon=$(seconds "$cli" search "$tree" --mode icon)
list=$(best "$cli" search "$tree" --list-search)
startup=$(best "$cli" search --help)
cat_s=$(seconds cat_all)
printf 'tree: %s\n  %d files, %d candidates (%.1f MB), %d rows found (%d through the list)\n' \
  "$tree" "$files" "$candidate_files" "$(echo "$bytes / 1000000" | bc -l)" "$rows" "$list_rows"
line() { printf '  %-34s %8.4f s  %10.0f files/s\n' "$1" "$2" "$(echo "$files / $2" | bc -l)"; }
line "glyphwell-cli search (disk)" "$disk"
line "glyphwell-cli search --mode icon" "$disk_icon"
line "glyphwell-cli search --list-search" "$list"
line "glyphwell-cli start alone (--help)" "$startup"
line "find | xargs cat > /dev/null" "$cat_s"
if command -v wrestool > /dev/null; then
  pipe=$(seconds pipeline)
  peer_rows=$(pipeline | wc -l)
  line "find | xargs wrestool -l -t14" "$pipe"
  printf '  (the pipeline finds %d files with icon groups; it reads no .ico or NE files)\n' \
    "$peer_rows"
  printf 'pipeline / disk search:      %8.1f  (goal >= 5)\n' "$(echo "$pipe / $disk" | bc -l)"
else
  echo "  wrestool (icoutils) is not installed: no pipeline timing"
fi
printf 'cat / disk search:           %8.1f  (goal > 1)\n' "$(echo "$cat_s / $disk" | bc -l)"
printf 'disk / list search:          %8.1f  (goal >= 50)\n' "$(echo "$disk / $list" | bc -l)"
without_start() { echo "$1 - $startup" | bc -l; }
printf 'disk / list without start:   %8.1f  (process start-up of %.4f s taken off both)\n' \
  "$(echo "$(without_start "$disk") / $(without_start "$list")" | bc -l)" "$startup"
