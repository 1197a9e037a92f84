#!/bin/sh
# Builds vorn-tovik and vorn, runs vorn-tovik on examples/site, shows the makefile it wrote and what make
# would do, then builds the site with make (the built vorn on PATH) and shows the pages produced.
set -e
cd "$(dirname "$0")/.."
tools/setup-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target vorn-tovik vorn
bin="$(pwd)/build"
cd examples/site
"$bin/src/vorn-tovik"
echo "===== examples/site/Makefile ====="
cat Makefile
echo "===== make -n ====="
make -n
echo "===== make ====="
PATH="$bin/src:$PATH" make
echo "===== pages produced ====="
find . -name '*.html' | sort
echo "===== index.html ====="
cat index.html
