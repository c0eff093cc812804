#!/usr/bin/env bash
# Builds and runs every test: a normal build, a build with AddressSanitizer
# and UndefinedBehaviorSanitizer, bounded libFuzzer runs of the core's
# parsers, and the Debian package built, installed, run and removed
# (scripts/package-test.sh), and the Windows cross build with its tests under
# wine (scripts/test-windows.sh). Any failure or sanitizer report fails the run.
#   scripts/test.sh          everything
#   scripts/test.sh --quick  the normal build only
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup-debian.sh
jobs=$(nproc)
fuzz_seconds=${LMQ_FUZZ_SECONDS:-20}

run_suite() {  # build dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  rm -rf "$dir/test-home"
  (cd "$dir" && ctest --output-on-failure -j"$jobs")
}

echo "== normal build"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
[ "${1:-}" = "--quick" ] && exit 0

echo "== sanitizer build (ASan + UBSan)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DLMQ_SANITIZE=ON -DLMQ_BENCH=OFF

echo "== fuzzing (${fuzz_seconds}s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DLMQ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$jobs"
for f in build-fuzz/bin/fuzz_*; do
  name=$(basename "$f")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  cp -n fuzz/seeds/"${name#fuzz_}"/* "$corpus"/ 2>/dev/null || true
  echo "-- $name"
  log="build-fuzz/$name.log"
  extra=()
  # The emulator target opens a connection per run; past some 40,000 in one
  # process the emulator stops answering, so its run is bounded by a count too.
  [ "$name" = fuzz_emulator ] && extra=(-runs=20000)
  if ! "$f" "${extra[@]}" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       "$corpus" >"$log" 2>&1; then
    tail -40 "$log"
    echo "$name failed"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$log" || true
done
scripts/package-test.sh
echo "== Windows cross build, tests under wine"
scripts/test-windows.sh
echo "all tests passed"
