#!/usr/bin/env bash
# Saving every icon image of five modules (600 images) as 32 x 32 16-colour icon
# files: Glyphwell in one process (glyphwell_bench) and one glyphwell-cli process per
# module, against ImageMagick's `convert in.png -resize 32x32 -colors 16 out.ico`,
# one process per image, on the same images (written by the benchmark as PNG).
#
# usage: bench/save_peer.sh [BUILD_DIR]
set -euo pipefail

build=${1:-build}
bench="$build/bin/glyphwell_bench"
cli="$build/bin/glyphwell-cli"
[ -x "$bench" ] || { echo "no $bench: build glyphwell_bench first" >&2; exit 2; }
[ -x "$cli" ] || { echo "no $cli: build glyphwell-cli first" >&2; exit 2; }
command -v convert >/dev/null || { echo "ImageMagick's convert is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One process for all 600 images; the benchmark also leaves the modules and PNGs.
GLYPHWELL_SAVE_BENCH_DIR="$work" "$bench" \
  --benchmark_filter=BM_SaveModuleIconsAs32x32With16Colours \
  --benchmark_format=json --benchmark_out="$work/bench.json" >/dev/null
ours_ms=$(python3 -c 'import json,sys; b=json.load(open(sys.argv[1]))["benchmarks"][0]; print(b["real_time"])' "$work/bench.json")
images=$(ls "$work/png" | wc -l)

now() { date +%s.%N; }

# glyphwell-cli: one process per module.
mkdir -p "$work/cli"
t0=$(now)
for m in "$work"/modules/*.dll; do
  "$cli" save "$m" --all -o "$work/cli/$(basename "$m" .dll).ico" \
    --type ico --size 32 --depth 16 >/dev/null
done
t1=$(now)
cli_written=$(ls "$work/cli" | wc -l)

# ImageMagick: one process per image.
mkdir -p "$work/peer"
t2=$(now)
for p in "$work"/png/*.png; do
  convert "$p" -resize 32x32 -colors 16 "$work/peer/$(basename "$p" .png).ico"
done
t3=$(now)

awk -v ours="$ours_ms" -v c0="$t0" -v c1="$t1" -v p0="$t2" -v p1="$t3" \
    -v n="$images" -v cw="$cli_written" 'BEGIN {
  cli = (c1 - c0) * 1000; peer = (p1 - p0) * 1000
  printf "images: %d (glyphwell-cli wrote %d files)\n", n, cw
  printf "glyphwell, one process      : %9.1f ms  (%.3f ms/image)\n", ours, ours / n
  printf "glyphwell-cli, per module   : %9.1f ms  (%.3f ms/image)\n", cli, cli / n
  printf "ImageMagick convert, per image: %7.1f ms  (%.3f ms/image)\n", peer, peer / n
  printf "ratio peer/ours (one process): %.1f\n", peer / ours
  printf "ratio peer/glyphwell-cli     : %.1f\n", peer / cli
}'
