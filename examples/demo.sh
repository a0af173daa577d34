#!/bin/sh
# Runs the sensor on the example landscape, as the monitoring host would:
# a single-system scan whose per-cent channels carry limits, a multi-system
# scan, and a scan of a system on another database.
set -u
build=${1:-build/default}
examples=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$build" && pwd)/vendralith
work=$(cd "$build" && pwd)/demo
rm -rf "$work"
mkdir -p "$work/drive"
cp "$examples"/*.P00 "$examples/Landscape.ini" "$examples/SAP Kelvaron.Gbl" "$examples/Kelvaron.Prf" "$work"
cd "$work"
# Drive C: of the Windows paths the sensor looks at: empty here.
export VENDRALITH_DRIVE_ROOT="$work/drive"

run() {
  echo "\$ vendralith $*"
  "$bin" "$@"
  echo "[exit code $?]"
  echo
}

run PRD PERCENT,WARN=80,ERROR=95
run global LOGUSAGE
run ERP
