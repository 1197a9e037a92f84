#!/bin/sh
# Builds vorn-tovik and vorn twice (plain, and with AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# the whole test suite in both builds, then gives each fuzz target a short run.  Fails when any test fails or
# a sanitizer or the fuzzer reports anything.
set -e
cd "$(dirname "$0")/.."
tools/setup-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest -j "$jobs" --output-on-failure --timeout 600)

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVT_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    sh -c 'cd build-asan && ctest -j "$0" --output-on-failure --timeout 900' "$jobs"

# The libFuzzer targets: a short run of each (fuzz/smoke.sh; clang, build-fuzz).
fuzz/smoke.sh
echo "all tests passed (plain and sanitized builds, fuzz smoke run)"
