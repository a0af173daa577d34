#!/bin/sh
# Installs what the Windows cross-build and its test run under Wine need, when
# missing: CMake, Python, the MinGW-w64 i686 cross-compiler (its POSIX-threads
# variant, the one the build uses) and Wine with its 32-bit part (Debian
# packages; needs root).
set -e
missing=""
command -v cmake >/dev/null 2>&1 || missing="$missing cmake"
command -v python3 >/dev/null 2>&1 || missing="$missing python3"
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || missing="$missing g++-mingw-w64-i686-posix"
command -v wine >/dev/null 2>&1 || missing="$missing wine"
wine32_installed() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"
}
wine32_installed || missing="$missing wine32:i386"
[ -n "$missing" ] || exit 0

echo "Installing:$missing"
if ! wine32_installed && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
