#!/usr/bin/env python3
"""The scan processes of a run with ,PARALLEL= start without the host's credentials.

    scan_process_environment.py --bin-dir DIR

A run with ",CRED=WINDOWS" hands each scan process its system's user and
password over its pipe; the variables that hold them on the monitoring host
(prtg_windowsuser, prtg_windowspassword, prtg_linuxuser, prtg_linuxpassword)
must not be in the environment the scan processes start with, where anyone
allowed to read a process's environment would find them. This test starts
such a run over systems whose logon waits an hour, reads /proc/PID/environ
and /proc/PID/cmdline of each scan process while it waits, and kills the
run. Linux only: it reads /proc.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

TESTS = Path(__file__).resolve().parent.parent
FIXTURES = TESTS / "e2e" / "fixtures"
sys.path.insert(0, str(TESTS / "e2e"))
sys.path.insert(0, str(TESTS / "stress"))
from parallel_run_killed import processes_of, wait_for  # noqa: E402
from run_case import sanitizer_report  # noqa: E402

SCANS = 2
LISTING = ("# GSNG: LOGSENS     PRD.P00#QAS.P00#DEV.P00#\n"
           "# GSNX: LOGSENS    CRED=WINDOWS,Sensor=\"SAP Vendralith\",Profile,Item=LogPages\n")
HOST = {"prtg_windowsuser": "monitor", "prtg_windowspassword": "Watch4Logs",
        "prtg_linuxuser": "linmon", "prtg_linuxpassword": "Linux4Logs"}
# A variable of no credentials: the scan processes keep the rest of the environment.
KEPT = ("VENDRALITH_TEST_KEPT", "kept")
MARKER = b"VENDRALITH_SCAN_PARENT="
START_WAIT = 60


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin-dir", required=True, type=Path)
    options = parser.parse_args()
    problems = []
    seen = 0
    with tempfile.TemporaryDirectory(prefix="vendralith-environ-") as temp:
        temp = Path(temp)
        work = temp / "sensors"
        shutil.copytree(FIXTURES / "profiles-without-credentials", work)
        (work / "SAP Kelvaron.Gbl").write_text(LISTING)
        landscape = (FIXTURES / "landscape" / "Landscape.ini").read_text()
        # Every logon waits an hour: the scan processes stay to be read.
        (work / "Landscape.ini").write_text(
            landscape.replace("\nsysnr = ", "\nlatency_ms = 3600000\nsysnr = "))
        (temp / "drive").mkdir()
        program = temp / "vendralith"
        shutil.copy2(options.bin_dir / "vendralith", program)
        environment = {**os.environ, **HOST, KEPT[0]: KEPT[1],
                       "VENDRALITH_DRIVE_ROOT": str(temp / "drive")}
        for name in ("SIMRFC_LANDSCAPE", "SIMRFC_FIRST_FOLDER", "RFC_INI"):
            environment.pop(name, None)
        command = [str(program), "global", "LOGSENS", ",PARALLEL=" + str(SCANS)]
        run = subprocess.Popen(command, cwd=work, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
        try:
            names = [str(program)]
            if not wait_for(lambda: len(set(processes_of(names)) - {run.pid}) >= SCANS,
                            START_WAIT):
                problems.append(f"the run did not start {SCANS} scan processes within "
                                f"{START_WAIT} s: {processes_of(names)}")
            for pid in set(processes_of(names)) - {run.pid}:
                try:
                    environ = Path(f"/proc/{pid}/environ").read_bytes().split(b"\0")
                    cmdline = Path(f"/proc/{pid}/cmdline").read_bytes()
                except OSError:
                    continue  # ended meanwhile
                if not any(entry.startswith(MARKER) for entry in environ):
                    continue  # not a scan process of this run
                seen += 1
                for name in HOST:
                    if any(entry.startswith(name.encode() + b"=") for entry in environ):
                        problems.append(f"scan process {pid} starts with {name} in its environment")
                if f"{KEPT[0]}={KEPT[1]}".encode() not in environ:
                    problems.append(f"scan process {pid} lost {KEPT[0]}: the test proves nothing")
                for value in HOST.values():
                    if value.encode() in cmdline:
                        problems.append(f"scan process {pid} shows a credential on its command line")
        finally:
            run.kill()
            run.wait(timeout=30)
        if seen == 0:
            problems.append("no scan process was read: the test proves nothing")
        stderr = run.stderr.read()
        if sanitizer_report(stderr):
            problems.append("sanitizer report:\n" + stderr.decode("latin-1"))

    for problem in problems:
        print(problem)
    print(f"read the environment of {seen} scan processes: "
          + ("none held the host's credentials" if not problems else f"{len(problems)} problems"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
