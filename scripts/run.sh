#!/usr/bin/env bash
# The main job: builds Glyphwell and opens the bundled sample module in the
# window; without a display it says so and lists the sample from the command line.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build"
bash "$here/scripts/install-deps.sh"
# Let ccache share objects between clones of the repository.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target glyphwell-cli $( [ -f "$here/app/ui/main.cpp" ] && echo glyphwell )
sample="$here/samples/sample.dll"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/bin/glyphwell" ]; then
  exec "$build/bin/glyphwell" "$sample"
fi
if [ -x "$build/bin/glyphwell" ]; then
  echo "No display found: listing the sample from the command line instead."
else
  echo "The window is not built yet: listing the sample from the command line."
fi
exec "$build/bin/glyphwell-cli" list "$sample"
