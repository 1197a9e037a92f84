#!/bin/sh
# Compares the working tree's vorn-tovik and vorn with those of a revision, byte for byte: builds the
# revision (default main) from a clean export in bench/work/base-<commit>/ (once), the working tree in
# build-release/ (as run_bench.sh does), then runs bench/compare_builds.py on the two.  See bench/README.md.
#
#   bench/compare_builds.sh [--base REV] [--sizes 2000,20000] [--pages 3000] [--seed 1] [--jobs 2] [--keep]
set -e
cd "$(dirname "$0")/.."

base=main
case "$1" in
    --base) base=$2; shift 2 ;;
    -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac
tools/setup-deps.sh python3
launcher=""
command -v ccache >/dev/null 2>&1 &&
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"

commit=$(git rev-parse --short "$base^{commit}")
old=bench/work/base-$commit
if [ ! -f "$old/built" ]; then
    rm -rf "$old"
    mkdir -p "$old/src"
    git archive "$commit" | tar -x -C "$old/src"
    # shellcheck disable=SC2086
    cmake -S "$old/src" -B "$old/build" -DCMAKE_BUILD_TYPE=Release -DVT_TESTS=OFF $launcher >/dev/null
    cmake --build "$old/build" -j 2 >&2
    touch "$old/built"
fi
# shellcheck disable=SC2086
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVT_TESTS=OFF $launcher >/dev/null
cmake --build build-release -j 2 >&2
echo "old: $base ($commit); new: the working tree" >&2
exec python3 bench/compare_builds.py --old "$old/build" --new build-release "$@"
