#!/bin/sh
# Installs what building and testing need, when it is missing (Debian; run as root).  Safe to run again.
set -e
missing=""
command -v cmake >/dev/null 2>&1 || missing="$missing cmake"
command -v g++ >/dev/null 2>&1 || missing="$missing g++"
command -v flex >/dev/null 2>&1 || missing="$missing flex"
command -v bison >/dev/null 2>&1 || missing="$missing bison"
command -v make >/dev/null 2>&1 || missing="$missing make"
command -v groff >/dev/null 2>&1 || missing="$missing groff-base"
command -v man >/dev/null 2>&1 || missing="$missing man-db"
[ -f /usr/include/gtest/gtest.h ] || missing="$missing libgtest-dev"
command -v clang++ >/dev/null 2>&1 || missing="$missing clang"
command -v clang-format >/dev/null 2>&1 || missing="$missing clang-format"
command -v clang-tidy >/dev/null 2>&1 || missing="$missing clang-tidy"
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
    missing="$missing libclang-rt-14-dev"
for extra in "$@"; do
    case "$extra" in
        *:*) cmd=${extra%%:*}; pkg=${extra#*:} ;;
        *) cmd=$extra; pkg=$extra ;;
    esac
    command -v "$cmd" >/dev/null 2>&1 || missing="$missing $pkg"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq $missing >/dev/null
fi
