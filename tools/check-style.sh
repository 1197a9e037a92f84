#!/bin/sh
# Checks the sources' style: every C++ file in git is as clang-format writes it (.clang-format), and
# clang-tidy, with the checks of .clang-tidy, finds nothing in src/.  Prints what it finds and fails; run by
# tools/run-tests.sh after the plain build, whose compile_commands.json clang-tidy reads.
#
#   tools/check-style.sh [BUILD-DIR]      (default: build/, configured with CMAKE_EXPORT_COMPILE_COMMANDS)
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
jobs=$(nproc 2>/dev/null || echo 2)

if [ ! -f "$build/compile_commands.json" ]; then
    echo "check-style: $build/compile_commands.json is missing (configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)" >&2
    exit 2
fi

git ls-files -z '*.cc' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format kept: every C++ file is as clang-format writes it"

# clang-tidy prints its own count of the warnings it suppressed in system headers: only findings matter.
git ls-files -z 'src/*.cc' | xargs -0 -P "$jobs" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "clang-tidy found nothing in src/"
