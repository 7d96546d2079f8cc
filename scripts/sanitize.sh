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
  -DGLYPHWELL_BENCH=OFF -DGLYPHWELL_GUI="${GLYPHWELL_SANITIZE_GUI:-ON}"
cmake --build "$build"
cd "$build"
# Memory errors, leaks and undefined behaviour fail the run. Leaks inside the
# system's own libraries (fontconfig, Qt's platform plugins) are not ours to mend.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$here/scripts/lsan-system.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 900
