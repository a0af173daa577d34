#!/bin/sh
# Installs the build tools that are missing (Debian packages; needs root).
# With "fuzz": also clang and its libFuzzer and sanitizer runtimes.
set -e
missing=""
command -v cmake >/dev/null 2>&1 || missing="$missing cmake"
command -v g++ >/dev/null 2>&1 || missing="$missing g++"
command -v python3 >/dev/null 2>&1 || missing="$missing python3"
[ -f /usr/include/gtest/gtest.h ] || missing="$missing libgtest-dev"
if [ "${1:-}" = fuzz ]; then
  command -v clang++ >/dev/null 2>&1 || missing="$missing clang"
  ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
    missing="$missing libclang-rt-14-dev"
fi
[ -n "$missing" ] || exit 0
echo "Installing:$missing"
apt-get update
apt-get install -y $missing
