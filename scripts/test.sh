#!/usr/bin/env bash
# Whole set-up and the whole test suite, from a fresh Debian 12 machine:
# installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the libFuzzer targets briefly, then every
# test through CTest; then installs that build into a scratch prefix and
# uses it as a user would (scripts/check-install.sh), and builds the Debian
# package with lintian (scripts/package.sh).
#   FUZZ_SECONDS  seconds per fuzz target (default 20; 0 skips fuzzing)
#   SOAK          0 skips the short soak runs at the end
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DQORVANE_SANITIZE=ON -DQORVANE_WERROR=ON
cmake --build build-test -j "$jobs"

fuzz_seconds=${FUZZ_SECONDS:-20}
if [ "$fuzz_seconds" -gt 0 ] && command -v clang++ >/dev/null; then
  CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQORVANE_BUILD_FUZZERS=ON -DQORVANE_BUILD_GUI=OFF -DQORVANE_BUILD_BENCH=OFF
  cmake --build build-fuzz -j "$jobs" --target fuzzers
  for target in build-fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=build-fuzz/corpus/$name
    mkdir -p "$corpus" fuzz/corpus/"${name#fuzz_}"
    echo "== fuzzing $name for ${fuzz_seconds}s"
    # New units go to the build's corpus; the kept one (soak/fuzz_scale.sh
    # MERGE=1) and the seeds are where each run starts.
    "$target" -max_total_time="$fuzz_seconds" -max_len=4096 -print_final_stats=0 \
      "$corpus" fuzz/corpus/"${name#fuzz_}" fuzz/seeds/"${name#fuzz_}" 2>&1 | tail -n 3
  done
fi

(cd build-test && ctest --output-on-failure -j "$jobs" --timeout 300)

# Short versions of the soak programs (docs/reliability.md); SOAK=0 skips them.
if [ "${SOAK:-1}" != 0 ]; then
  echo "== soak: kill -9 during saves, full disk"
  build-test/soak/save_kill_soak 100
  echo "== soak: chaos batch"
  build-test/soak/chaos_batch 60
  # The window, two runs at once. AddressSanitizer holds freed memory in
  # quarantine, which would read as growth; the window's memory is measured
  # in a Release build (docs/reliability.md).
  echo "== soak: chaos batch through the window"
  ASAN_OPTIONS=$ASAN_OPTIONS:quarantine_size_mb=1 build-test/soak/chaos_batch --window --jobs 2 60
  echo "== soak: aborts"
  build-test/bench/abort_bench 5
  echo "== soak: kill -9 while the job list changes"
  build-test/soak/recovery_soak 5 1500
fi

echo "== installed"
bash scripts/check-install.sh build-test
echo "== package"
bash scripts/package.sh build-package
