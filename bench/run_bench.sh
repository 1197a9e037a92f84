#!/bin/sh
# The benchmark in one command: installs what is missing, builds a Release vorn-tovik and vorn in
# build-release/, generates the sites (cached under bench/work/), times vorn-tovik against the read floor,
# gcc -MM and makedepend, and make and vorn on the makefile it writes.  The tables are printed and written
# to bench/results/.  See bench/README.md.
#
#   bench/run_bench.sh [--sizes 2000,20000] [--runs 5] [--seed 1] [--build-max 2000] [--no-build]
#                      [--tools normal,fast,cat,gcc,makedepend,make,builtin,build,perpage,updating]
set -e
cd "$(dirname "$0")/.."

build=yes
for arg in "$@"; do
    case "$arg" in
        --no-build) build=no ;;
        -h|--help)
            sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
            exit 0 ;;
    esac
done

# What the build and the measurement need: the compilers and generators, python3, xargs, gcc, GNU time (for
# the peak RSS) and makedepend.
tools/setup-deps.sh python3 xargs:findutils gcc /usr/bin/time:time makedepend:xutils-dev

binary=build-release/src/vorn-tovik
vorn=build-release/src/vorn
if [ "$build" = yes ]; then
    cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVT_TESTS=OFF >/dev/null
    cmake --build build-release -j 2 --target vorn-tovik vorn >&2
fi
for program in "$binary" "$vorn"; do
    if [ ! -x "$program" ]; then
        echo "run_bench.sh: $program is missing; run without --no-build" >&2
        exit 1
    fi
done

# Everything but --no-build goes to the measuring script.
for arg in "$@"; do
    shift
    [ "$arg" = --no-build ] || set -- "$@" "$arg"
done
exec python3 bench/measure.py --binary "$binary" --vorn "$vorn" "$@"
