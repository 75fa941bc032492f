#!/usr/bin/env bash
# Builds the show and plays it in a window. Extra arguments go to vorn
# (for example -showfps=1).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=OFF
cmake --build build/release
cd build/release
exec ./vorn -window=1 "$@"
