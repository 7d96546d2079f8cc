#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need.
# Does nothing when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-noto-cjk xvfb xauth
  # independent readers and peers used by tests and benchmarks
  pngcheck python3-pil imagemagick icoutils libjpeg-turbo-progs
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
