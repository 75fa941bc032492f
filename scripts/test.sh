#!/usr/bin/env bash
# Builds the debug configuration (AddressSanitizer and UBSan) and runs every
# test; OpenGL tests run on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORN_BUILD_BENCHMARKS=ON
cmake --build build/debug
# Mesa's software renderer draws on one thread: its worker threads make
# LeakSanitizer's exit-time scan of the GL tests unreliable.
export LP_NUM_THREADS=0
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build/debug -j "$(nproc)" --output-on-failure --timeout 300
