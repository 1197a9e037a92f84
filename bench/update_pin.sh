#!/bin/sh
# Writes the expected files of tests/cli/bench_pin_test.cc: the makefile that vorn-tovik writes for the
# 60-page benchmark site (seed 7) in normal and in fast mode, and its archive exclude list.  Run it when a
# change to the output is intended, or after changing bench/gen_site.py, then review the difference:
#
#   bench/update_pin.sh [VORN-TOVIK]      (default: a Release build in build-release/, made when missing)
#   git diff --stat tests/cli/data/bench_pin/
set -e
cd "$(dirname "$0")/.."

binary=$1
if [ -z "$binary" ]; then
    binary=build-release/src/vorn-tovik
    tools/setup-deps.sh python3
    cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVT_TESTS=OFF >/dev/null
    cmake --build build-release -j 2 --target vorn-tovik >/dev/null
fi
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")
[ -x "$binary" ] || { echo "update_pin.sh: $binary is not a program" >&2; exit 1; }

# The same numbers as in tests/cli/bench_pin_test.cc.
pages=60
seed=7

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 bench/gen_site.py --pages "$pages" --seed "$seed" --out "$tmp" >/dev/null

(cd "$tmp/site" && "$binary" 2>"$tmp/normal.err")
if [ -s "$tmp/normal.err" ]; then
    echo "update_pin.sh: vorn-tovik reported problems in normal mode; nothing written:" >&2
    cat "$tmp/normal.err" >&2
    exit 1
fi
if ! grep -q 'page_0\.vrn \\$' "$tmp/site/Makefile"; then
    echo "update_pin.sh: the makefile has no dependency lines (is the source parser wired into the scan?);" \
        "nothing written" >&2
    exit 1
fi
cp "$tmp/site/Makefile" "$tmp/normal.mk"
cp "$tmp/site/Makefile.sources" "$tmp/sources"

(cd "$tmp/site" && "$binary" --fast 2>/dev/null)
if ! cmp -s "$tmp/sources" "$tmp/site/Makefile.sources"; then
    echo "update_pin.sh: the archive exclude list differs between normal and fast mode; nothing written" >&2
    exit 1
fi

out=tests/cli/data/bench_pin
mkdir -p "$out"
cp "$tmp/normal.mk" "$out/normal.mk"
cp "$tmp/site/Makefile" "$out/fast.mk"
cp "$tmp/sources" "$out/sources"
echo "wrote $out/normal.mk, $out/fast.mk and $out/sources"
