#!/usr/bin/env bash
# Builds the core and its tests under AddressSanitizer + UndefinedBehaviorSanitizer
# and runs them. Usage: bash scripts/sanitize.sh [build-dir]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build-asan}"
bash "$here/scripts/install-deps.sh"
# Let ccache share objects between clones of the repository.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DGLYPHWELL_SANITIZE=address,undefined \
  -DGLYPHWELL_BENCH=OFF -DGLYPHWELL_GUI="${GLYPHWELL_SANITIZE_GUI:-OFF}"
cmake --build "$build"
cd "$build"
# Memory errors and undefined behaviour fail the run; leak checking is off for now.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 900
