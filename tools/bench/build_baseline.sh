#!/bin/sh
# Builds the sensor of another revision for make bench to measure beside this
# build: its files as git has them (git archive, no checkout touched), built
# with its own "default" preset in BUILD_ROOT/<commit>/ and kept there for the
# next run. Prints the sensor's path; prints nothing and says why on standard
# error when the revision is not in this clone.
#
#   sh tools/bench/build_baseline.sh REVISION BUILD_ROOT
set -e
revision=$1
root=$2
commit=$(git rev-parse --verify --quiet "$revision^{commit}") || {
  echo "bench: the baseline $revision is not in this clone: measuring without it" >&2
  exit 0
}
source="$root/$commit"
sensor="$source/build/default/vendralith"
if [ ! -x "$sensor" ]; then
  rm -rf "$source"
  mkdir -p "$source"
  git archive "$commit" | tar -x -C "$source"
  (cd "$source" && cmake --preset default >/dev/null &&
    cmake --build --preset default -j 2 --target vendralith >/dev/null)
fi
echo "$sensor"
