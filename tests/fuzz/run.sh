#!/bin/sh
# Runs every fuzz target for SECONDS seconds each (or until RUNS executions,
# if given and reached first), one after the other, on a working copy of its
# seed corpus under BUILD/corpus (the committed seeds are never written). A
# crash, leak, sanitizer report or timeout fails the run; the input that
# caused it is left in BUILD/artifacts/<target>/.
# Usage: run.sh BUILD SECONDS [RUNS]; FUZZ_TARGETS="a b" runs only those.
set -u
build=$1
seconds=$2
runs_limit=${3:--1}
here=$(cd "$(dirname "$0")" && pwd)
targets=${FUZZ_TARGETS:-profile_reader password listing_reader trace_scan command_line result_document landscape pe_image}
passed=0
failed=0
for target in $targets; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  log="$build/logs/$target.log"
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  cp "$here/corpus/$target/"* "$corpus/"
  dict=""
  [ -f "$here/$target.dict" ] && dict="-dict=$here/$target.dict"
  "$build/tests/fuzz/${target}_fuzz" "$corpus" $dict -max_total_time="$seconds" \
    -runs="$runs_limit" -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1
  status=$?
  elapsed=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ $status -eq 0 ]; then
    passed=$((passed + 1))
    echo "fuzz $target: ok, ${runs:-0} executions in ${elapsed:-$seconds}s (${speed:-0}/s)"
  else
    failed=$((failed + 1))
    echo "fuzz $target: FAILED (exit $status), see $log:"
    grep -E "^(==[0-9]+==|SUMMARY|fuzz check failed|artifact_prefix|Test unit written)" "$log" | head -20
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
