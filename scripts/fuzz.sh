#!/usr/bin/env bash
# Builds the parsers' fuzz targets with clang, libFuzzer, AddressSanitizer
# and UBSan in build/fuzz and runs each for SECONDS (default 60), four at a
# time; with target names (image-png, zip, ...) only those.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# A target starts from its seeds in tests/fuzz/corpus/<target>/ and keeps the
# inputs it learns from in build/fuzz/corpus/<target>/. Inputs are at most
# 16 KB, and one allocation of 64 MB or more counts as a finding, as does a
# crash, a sanitizer report, a leak or an input that takes over 10 s: the
# input lands in build/fuzz/findings/<target>/. Once the fault is fixed, the
# input goes into tests/fuzz/crashes/<target>/, which the tests replay.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
scripts/deps.sh fuzz
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVORN_BUILD_FUZZERS=ON -DVORN_SANITIZE=ON -DVORN_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz --target vorn-fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in tests/fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
fi

run() {
  local target=$1
  mkdir -p "build/fuzz/corpus/$target" "build/fuzz/findings/$target" build/fuzz/logs
  build/fuzz/tests/fuzz/vorn-fuzz-"$target" -max_total_time="$seconds" -max_len=16384 -malloc_limit_mb=64 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target/" \
    "build/fuzz/corpus/$target" "tests/fuzz/corpus/$target" >"build/fuzz/logs/$target.log" 2>&1
}
export -f run
export seconds
printf '%s\n' "${targets[@]}" | xargs -P 4 -I{} bash -c 'run {} || true'

# One line per target: executions, findings, peak resident memory.
failed=0
printf '%-18s %12s %9s %8s\n' target executions findings 'peak RSS'
for target in "${targets[@]}"; do
  log=build/fuzz/logs/$target.log
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  findings=$(grep -c 'Test unit written to' "$log" || true)
  printf '%-18s %12s %9s %8s\n' "$target" "${executions:-?}" "$findings" "${rss:-?} MB"
  if [ "$findings" -gt 0 ] || [ -z "$executions" ]; then
    failed=1
    grep -m1 'ERROR: \|==ERROR\|out-of-memory\|malloc(' "$log" | sed 's/^/    /' || true
    grep -h 'Test unit written to' "$log" | sed 's/^/    /'
  fi
done
exit $failed
