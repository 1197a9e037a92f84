#!/bin/sh
# Builds vorn-tovik and runs it on examples/site: shows the makefile it wrote and what make would do.
set -e
cd "$(dirname "$0")/.."
tools/setup-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target vorn-tovik
cd examples/site
../../build/src/vorn-tovik
echo "===== examples/site/Makefile ====="
cat Makefile
echo "===== make -n ====="
make -n
