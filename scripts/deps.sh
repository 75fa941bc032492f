#!/usr/bin/env bash
# Installs the Debian packages that building and playing need, skipping the
# ones already there; with the argument "test", also what the tests need,
# with "fuzz", also clang and libFuzzer.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dri
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libgif-dev libopenjp2-7-dev
  libmpg123-dev libmp3lame-dev libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick
)
[ "${1:-}" = test ] && packages+=(ffmpeg ccache)
[ "${1:-}" = fuzz ] && packages+=(clang libclang-rt-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
