#!/bin/sh
# Installs what `make lint` needs beyond the build tools, when missing:
# clang-tidy, cppcheck and clang-format (Debian packages; needs root).
set -e
missing=""
command -v clang-tidy >/dev/null 2>&1 || missing="$missing clang-tidy"
command -v cppcheck >/dev/null 2>&1 || missing="$missing cppcheck"
command -v clang-format >/dev/null 2>&1 || missing="$missing clang-format"
[ -n "$missing" ] || exit 0
echo "Installing:$missing"
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
