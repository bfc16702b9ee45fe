#!/usr/bin/env bash
# Every libFuzzer target under AddressSanitizer and UndefinedBehaviorSanitizer
# for RUNS executions or SECONDS seconds, whichever comes first, starting
# from the corpus kept in the repository (fuzz/corpus) and the seeds. Prints
# per target: executions, time, coverage (edges, features), corpus size and
# crashes; the units that crashed are kept in build-fuzz/scale/crashes.
#
#   RUNS      executions per target (default 10000000)
#   SECONDS_PER_TARGET  time limit per target (default 115: the seven
#             targets in under 15 minutes)
#   MERGE=1   afterwards minimise what was found into fuzz/corpus/NAME
#   TARGETS   names to run (default: all, e.g. TARGETS="settings ini")
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-10000000}
seconds=${SECONDS_PER_TARGET:-115}
build=build-fuzz
work=$build/scale

CXX=clang++ CC=clang cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQORVANE_BUILD_FUZZERS=ON -DQORVANE_BUILD_GUI=OFF -DQORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j 2 --target fuzzers >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$work/crashes"

targets=${TARGETS:-}
if [ -z "$targets" ]; then
  for t in "$build"/fuzz/fuzz_*; do [ -x "$t" ] && targets="$targets ${t##*/fuzz_}"; done
fi

printf '%-22s %12s %8s %9s %7s %7s %7s %8s\n' target executions seconds exec/s cov ft corpus crashes
total_crashes=0
for name in $targets; do
  corpus=$work/corpus/$name
  mkdir -p "$corpus" "fuzz/corpus/$name"
  log=$work/$name.log
  start=$(date +%s)
  status=0
  "$build/fuzz/fuzz_$name" -runs="$runs" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$work/crashes/$name-" "$corpus" "fuzz/corpus/$name" "fuzz/seeds/$name" >"$log" 2>&1 ||
    status=$?
  elapsed=$(( $(date +%s) - start ))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  crashes=$(find "$work/crashes" -name "$name-*" | wc -l)
  [ "$status" -ne 0 ] && [ "$crashes" -eq 0 ] && crashes="exit $status"
  units=$(( $(find "$corpus" -type f | wc -l) + $(find "fuzz/corpus/$name" -type f | wc -l) ))
  rate=$(( ${execs:-0} / (elapsed > 0 ? elapsed : 1) ))
  printf '%-22s %12s %8s %9s %7s %7s %7s %8s\n' "$name" "${execs:-?}" "$elapsed" "$rate" "${cov:-?}" "${ft:-?}" \
    "$units" "$crashes"
  [ "$crashes" != 0 ] && total_crashes=$((total_crashes + 1))
  if [ "${MERGE:-0}" = 1 ]; then
    mkdir -p "$work/merged/$name"
    "$build/fuzz/fuzz_$name" -merge=1 -max_len=4096 "$work/merged/$name" "fuzz/corpus/$name" "$corpus" \
      "fuzz/seeds/$name" >"$work/$name.merge.log" 2>&1
    rm -rf "fuzz/corpus/$name" && mv "$work/merged/$name" "fuzz/corpus/$name"
  fi
done
echo "targets with crashes: $total_crashes (units in $work/crashes)"
[ "$total_crashes" -eq 0 ]
