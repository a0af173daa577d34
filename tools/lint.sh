#!/bin/sh
# The static checks of `make lint`, on the sensor (src/), the simulated RFC
# library (simrfc/) and the profile tool (tools/), and on the links of the
# documentation. Each C++ checker reads the compile commands of the
# configure-only build directory given as $1. Every checker runs; any finding
# fails the whole.
#   links        every relative link and #anchor of the Markdown files resolves
#   clang-tidy   the checks of .clang-tidy, findings are errors
#   cppcheck     warning, performance and portability; suppressions inline
#   clang-format the sources as .clang-format lays them out
# The *_win32.cpp files are not in a Linux compile database: cppcheck reads them on
# their own as Windows code; clang-tidy cannot parse them without windows.h.
cd "$(dirname "$0")/.."
build=${1:-build/lint}
status=0
sources=$(ls src/*.cpp src/*/*.cpp simrfc/*.cpp tools/*.cpp | grep -v '_win32\.cpp')

echo "links"
python3 tools/check_links.py || status=1

echo "clang-tidy"
# -Wno-unknown-warning-option: the compile commands are GCC's, with options
# clang does not know. Its count of warnings it did not show is left out.
notes=$(mktemp)
echo "$sources" | xargs -P 2 -n 4 clang-tidy -p "$build" --quiet \
  --extra-arg=-Wno-unknown-warning-option 2>"$notes" || status=1
grep -v ' warnings\? generated\.$' "$notes" >&2
rm -f "$notes"

echo "cppcheck"
cppcheck_options="--enable=warning,performance,portability --inline-suppr --error-exitcode=1
  --quiet --std=c++20 --template=gcc"
cppcheck $cppcheck_options -j 2 --project="$build/compile_commands.json" || status=1
cppcheck $cppcheck_options --platform=win32A -D_WIN32 -I src -I simrfc src/system/*_win32.cpp \
  simrfc/*_win32.cpp || status=1

echo "clang-format"
clang-format --dry-run --Werror $(find src simrfc tools tests -name '*.cpp' -o -name '*.h') || status=1

[ $status -eq 0 ] && echo "lint: clean"
exit $status
