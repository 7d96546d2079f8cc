#!/usr/bin/env bash
# Times `glyphwell-cli list --json` against `wrestool -l` (icoutils) over a set of
# generated modules, one process per file, and prints the ratio of the two.
# Usage: bash bench/peers.sh [BUILD_DIR] [MODULES]   (16 icon images per module)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
modules="${2:-100}"
cli="$build/bin/glyphwell-cli"
maker="$build/bin/make_samples"
for tool in "$cli" "$maker"; do
  [ -x "$tool" ] || { echo "missing $tool: build glyphwell-cli and make_samples first" >&2; exit 1; }
done
command -v wrestool >/dev/null || { echo "wrestool (icoutils) is not installed" >&2; exit 1; }

set_dir="$(mktemp -d)"
trap 'rm -rf "$set_dir"' EXIT
"$maker" bench "$set_dir" "$modules"
files=("$set_dir"/*.dll)
images=$(( ${#files[@]} * 16 ))

time_each() {  # command prefix...; prints seconds for all files
  local start end
  start=$(date +%s.%N)
  for f in "${files[@]}"; do "$@" "$f" > /dev/null; done
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

# One warm-up pass each so both run from the page cache.
time_each "$cli" list --json > /dev/null
time_each wrestool -l > /dev/null
ours=$(time_each "$cli" list --json)
theirs=$(time_each wrestool -l)
listed=$(for f in "${files[@]}"; do "$cli" list --json "$f"; done | grep -c '"index"')
peer=$(for f in "${files[@]}"; do wrestool -l -t 3 "$f"; done | grep -c 'type=icon')
printf 'files: %d, icon images: %d (glyphwell lists %d, wrestool lists %d)\n' \
  "${#files[@]}" "$images" "$listed" "$peer"
printf 'glyphwell-cli list --json: %.3f s\nwrestool -l:               %.3f s\n' "$ours" "$theirs"
printf 'ratio glyphwell/wrestool:  %.2f\n' "$(echo "$ours / $theirs" | bc -l)"
