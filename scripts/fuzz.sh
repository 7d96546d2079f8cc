#!/usr/bin/env bash
# Builds every libFuzzer target with clang and runs each for a while on its corpus.
# Usage: bash scripts/fuzz.sh [seconds-per-target] [build-dir]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
build="${2:-$here/build-fuzz}"
bash "$here/scripts/install-deps.sh"
# Let ccache share objects between clones of the repository.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DGLYPHWELL_FUZZ=ON -DGLYPHWELL_GUI=OFF \
  -DGLYPHWELL_TESTS=OFF -DGLYPHWELL_BENCH=OFF
cmake --build "$build"
status=0
for bin in "$build"/bin/fuzz_*; do
  [ -x "$bin" ] || continue
  name="${bin##*/fuzz_}"
  corpus="$here/fuzz/corpus/$name"
  work="$build/corpus/$name"
  mkdir -p "$work" "$corpus"
  echo "== fuzzing $name for ${seconds}s"
  if ! "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=1048576 \
      -artifact_prefix="$build/crash-$name-" "$work" "$corpus" > "$build/fuzz-$name.log" 2>&1; then
    echo "fuzz target $name found a problem:"; tail -40 "$build/fuzz-$name.log"; status=1
  else
    grep -E "^(Done|#[0-9]+ +DONE)" "$build/fuzz-$name.log" | tail -1 || true
  fi
done
exit $status
