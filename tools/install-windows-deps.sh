#!/bin/sh
# Installs what the Windows cross-builds and their test runs under Wine need,
# when missing: CMake, Python, the MinGW-w64 i686 and x86-64 cross-compilers
# (their POSIX-threads variants, the ones the builds use) and Wine with its
# 32-bit and 64-bit parts (Debian packages; needs root); then, on a machine
# whose kernel cannot run 32-bit programs, qemu-i386 for the 32-bit suite
# (tools/install-qemu-i386.sh).
set -e
missing=""
command -v cmake >/dev/null 2>&1 || missing="$missing cmake"
command -v python3 >/dev/null 2>&1 || missing="$missing python3"
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || missing="$missing g++-mingw-w64-i686-posix"
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing="$missing g++-mingw-w64-x86-64-posix"
command -v wine >/dev/null 2>&1 || missing="$missing wine"
installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
installed wine32:i386 || missing="$missing wine32:i386"
installed wine64 || missing="$missing wine64"
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  if ! installed wine32:i386 && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi
sh "$(dirname "$0")/install-qemu-i386.sh"
