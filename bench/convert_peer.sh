#!/usr/bin/env bash
# Compares one conversion of a 256 x 256 32-bit picture to 256 colours by
# glyphwell-cli with ImageMagick's `convert in.png -colors 256 out.bmp`: wall time
# (best of RUNS) and peak resident memory from /usr/bin/time -v.
#
# usage: bench/convert_peer.sh [BUILD_DIR] [RUNS]
set -euo pipefail

build=${1:-build}
runs=${2:-5}
cli="$build/bin/glyphwell-cli"
[ -x "$cli" ] || { echo "no $cli: build glyphwell-cli first" >&2; exit 2; }
command -v convert >/dev/null || { echo "ImageMagick's convert is not installed" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A colourful 256 x 256 picture with alpha, the same for both tools.
convert -size 256x256 -seed 7 plasma:fractal -alpha set -channel A -fx 'i/w' +channel \
  "PNG32:$work/in.png"

measure() {  # prints "seconds kilobytes" for the best of $runs runs
  local best_s="" best_kb=""
  for _ in $(seq "$runs"); do
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt" || {
      cat "$work/err.txt" >&2
      exit 1
    }
    local wall kb
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time.txt" |
      awk -F: '{ if (NF == 3) print $1*3600 + $2*60 + $3; else print $1*60 + $2 }')
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    if [ -z "$best_s" ] || awk "BEGIN{exit !($wall < $best_s)}"; then best_s=$wall; fi
    if [ -z "$best_kb" ] || [ "$kb" -lt "$best_kb" ]; then best_kb=$kb; fi
  done
  echo "$best_s $best_kb"
}

read -r ours_s ours_kb < <(measure "$cli" convert "$work/in.png" -o "$work/ours.bmp" \
  --type bmp --depth 256 --size user --user 256x256)
read -r peer_s peer_kb < <(measure convert "$work/in.png" -colors 256 "$work/peer.bmp")

printf 'glyphwell-cli convert : %8.3f s  %8d KiB\n' "$ours_s" "$ours_kb"
printf 'ImageMagick convert   : %8.3f s  %8d KiB\n' "$peer_s" "$peer_kb"
awk -v a="$ours_s" -v b="$peer_s" -v c="$ours_kb" -v d="$peer_kb" 'BEGIN {
  printf "time ratio (ours/peer): %.3f   memory ratio (ours/peer): %.3f\n",
         (b > 0 ? a / b : 0), (d > 0 ? c / d : 0) }'
