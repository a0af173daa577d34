#!/bin/sh
# Fetches qemu-i386 into a folder of the build (default build/qemu-user), for
# the 32-bit Wine suite on a machine whose kernel cannot run 32-bit programs.
# A machine that runs the 32-bit Wine loader itself needs none, and one that
# has a fitting qemu-i386 there already gets nothing new.
#
# Debian 12's own qemu 7.2 takes MAP_FIXED_NOREPLACE for a hint and Wine fails
# on it, so the binary comes from Debian's bookworm-backports suite (qemu-user,
# static binaries; 8.1 or newer is needed). Nothing of the machine's apt set-up
# changes: apt reads a source list, keeps its package lists and cache in a
# temporary folder, all given on its command line, and checks the suite's
# signed release against Debian's archive keyring and the package against it.
# Only qemu-i386 is unpacked from the package.
set -e
cd "$(dirname "$0")/.."
target=${1:-build/qemu-user}
loader=/usr/lib/wine/wine
suite=bookworm-backports
archive=http://deb.debian.org/debian
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# Whether qemu-i386 at $1 says it is version 8.1 or newer.
new_enough() {
  "$1" --version 2>/dev/null | awk 'NR == 1 {
    split($3, v, "."); exit !(v[1] > 8 || (v[1] == 8 && v[2] >= 1)) }'
}

if "$loader" --version >/dev/null 2>&1; then
  exit 0
fi
if [ -x "$target/qemu-i386" ] && new_enough "$target/qemu-i386"; then
  exit 0
fi

echo "Fetching qemu-i386 from Debian's $suite into $target"
work=$(mktemp -d "${TMPDIR:-/tmp}/vendralith-qemu-user.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
echo "deb [signed-by=$keyring] $archive $suite main" >"$work/sources.list"
set -- -o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=- \
  -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" \
  -o "APT::Architectures::=$(dpkg --print-architecture)" -o APT::Sandbox::User=root
apt-get "$@" -q update
(cd "$work" && apt-get "$@" -q download qemu-user)
dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386
if ! new_enough "$work/usr/bin/qemu-i386"; then
  echo "qemu-i386 of $suite is older than 8.1: $("$work/usr/bin/qemu-i386" --version | head -n 1)" >&2
  exit 1
fi
mkdir -p "$target"
mv "$work/usr/bin/qemu-i386" "$target/qemu-i386.new"
mv -f "$target/qemu-i386.new" "$target/qemu-i386"
"$target/qemu-i386" --version | head -n 1
