#!/bin/sh
# Builds vorn-tovik and vorn twice (plain, and with AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# the whole test suite in both builds, checks the sources' style (clang-format, clang-tidy), then gives each
# fuzz target a short run.  Both builds treat compiler warnings as errors.  Fails when any test fails, a
# warning or a style finding appears, or a sanitizer or the fuzzer reports anything.  Each of the six phases
# starts with a banner that gives the time since the start; the whole run takes about 12 to 14 minutes on two
# cores.
set -e
cd "$(dirname "$0")/.."
tools/setup-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
start=$(date +%s)

elapsed() {
    s=$(($(date +%s) - start))
    printf '%d:%02d' $((s / 60)) $((s % 60))
}

# phase N TITLE: the banner of phase N of 6.
phase() {
    printf '\n===== [%s/6] %s (%s elapsed) =====\n' "$1" "$2" "$(elapsed)"
}

phase 1 "plain build: build/, RelWithDebInfo"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVT_WERROR=ON \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build build -j "$jobs"

phase 2 "plain tests"
(cd build && ctest -j "$jobs" --output-on-failure --timeout 600)

phase 3 "style: clang-format on every C++ file, clang-tidy on src/"
tools/check-style.sh build

phase 4 "sanitizer build: build-asan/, Debug with ASan and UBSan"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVT_SANITIZE=ON -DVT_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"

phase 5 "sanitizer tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    sh -c 'cd build-asan && ctest -j "$0" --output-on-failure --timeout 900' "$jobs"

# The libFuzzer targets: a short run of each (fuzz/smoke.sh; clang, build-fuzz).
phase 6 "fuzzing: build-fuzz/, a short run of each target"
fuzz/smoke.sh
echo
echo "all tests passed (plain and sanitized builds, style checks, fuzz smoke run) in $(elapsed)"
