#!/bin/sh
# Runs the sensor on the example landscape, as the monitoring host would:
# a single-system scan whose per-cent channels carry limits, a multi-system
# scan, a scan of a system on another database, two scans with the hours
# until the log area is full (one estimated, one at the cap), and a scan
# whose user and password come from the monitoring host's placeholders.
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

# Hours until the log is full: QAS's log area has grown by 8,000 pages an
# hour for three hours, as the samples of earlier scans say (seeded here in
# place of three hours of scans): 190,000 pages left, 23.7 hours, below the
# warning limit of 24. PRD's is used to a third, under the half that an
# estimate needs: the cap, 168.0.
now=$(date +%s)
mkdir Vendralith.Trend
{
  echo "Vendralith trend 1"
  for minutes in 180 150 120 90 60 30; do
    echo "$((now - minutes * 60)) 500000 $((310000 - minutes * 8000 / 60)) 812"
  done
} > Vendralith.Trend/QAS_sapqas.txt
run QAS ,TREND
run PRD ,TREND

# The monitoring host hands the device's credentials to a sensor in its
# environment ("Set placeholders as environment values"); the profile holds none.
echo "\$ export prtg_windowsuser=monitor prtg_windowspassword=mon4qas"
export prtg_windowsuser=monitor prtg_windowspassword=mon4qas
run QAS-HOST PERCENT,CRED=WINDOWS
unset prtg_windowsuser prtg_windowspassword
