#!/bin/sh
# Installs the build tools that are missing (Debian packages; needs root).
set -e
missing=""
command -v cmake >/dev/null 2>&1 || missing="$missing cmake"
command -v g++ >/dev/null 2>&1 || missing="$missing g++"
command -v python3 >/dev/null 2>&1 || missing="$missing python3"
[ -f /usr/include/gtest/gtest.h ] || missing="$missing libgtest-dev"
[ -n "$missing" ] || exit 0
echo "Installing:$missing"
apt-get update
apt-get install -y $missing
