#!/usr/bin/env bash
# Builds everything and runs the whole test suite:
#   1. a bounded libFuzzer run of each fuzz target, seeded from fuzz/corpus/;
#   2. the C++ tests and the Python module's tests (pytest, registered in
#      ctest) under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the same on the plain build (its ctest summary closes the run).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$HOLLOFORM_ROOT"

install_packages
build_plain
mkdir -p build-asan
configure_and_build build-asan -DCMAKE_CXX_COMPILER=clang++ \
  -DHOLLOFORM_SANITIZE=ON -DHOLLOFORM_FUZZ=ON -DHOLLOFORM_BENCH=OFF

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fuzz_seconds="${HOLLOFORM_FUZZ_SECONDS:-60}"
for target in build-asan/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="fuzz/corpus/${name#fuzz_}"
  work="$(mktemp -d)"
  echo "== Fuzzing $name for ${fuzz_seconds}s"
  "$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$work" "$corpus" 2>&1 | tail -n 12
  rm -rf "$work"
done

echo "== C++ and Python tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

echo "== C++ and Python tests"
ctest --test-dir build --output-on-failure -j "$(nproc)"
