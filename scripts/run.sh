#!/usr/bin/env bash
# The main job: builds Glyphwell and opens the bundled sample module in the window;
# without a display it says so and lists the sample from the command line instead.
#   GLYPHWELL_BUILD_DIR   the build folder (default: build/ of the repository)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${GLYPHWELL_BUILD_DIR:-$here/build}"
bash "$here/scripts/install-deps.sh"
# Let ccache share objects between clones of the repository.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
# The window is wanted even when the folder was configured without it before.
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLYPHWELL_GUI=ON
cmake --build "$build" --target glyphwell glyphwell-cli
sample="$here/samples/sample.dll"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/glyphwell" "$sample"
fi
echo "No display found: listing the sample from the command line instead."
exec "$build/bin/glyphwell-cli" list "$sample"
