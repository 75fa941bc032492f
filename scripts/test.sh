#!/usr/bin/env bash
# Builds the debug configuration (AddressSanitizer and UBSan) and runs every
# test; OpenGL tests run on a virtual display. The two authoring
# configurations (offline video, event recording) are built as well and run
# briefly as an author would run them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORN_BUILD_BENCHMARKS=ON
cmake --build build/debug
# The authoring builds differ from each other in one file: ccache compiles
# the rest once.
export CCACHE_BASEDIR=$PWD
for mode in offline:VORN_RENDER_VIDEO recording:VORN_EVENT_RECORDING; do
  cmake -S . -B "build/${mode%%:*}" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=OFF \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache "-D${mode#*:}=ON"
  cmake --build "build/${mode%%:*}" --target vorn
done
# -noreset: Xvfb otherwise resets itself whenever its last client leaves,
# which is between one show test's window and the next; a test once failed
# to reach the display just then.
# Mesa's software renderer draws on one thread: its worker threads make
# LeakSanitizer's exit-time scan of the GL tests unreliable.
export LP_NUM_THREADS=0
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  tests/e2e/authoring_runs.sh build/offline/vorn build/recording/vorn build/debug/vorn build/debug/data
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir build/debug -j "$(nproc)" --output-on-failure --timeout 300
