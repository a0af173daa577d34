#!/usr/bin/env python3
"""A multi-system run with ,PARALLEL= that is killed leaves no scan behind.

    parallel_run_killed.py --bin-dir DIR [--wine --wine-prefix PREFIX]

The monitoring host kills a sensor that does not answer in time. This test
starts a run over six systems that never answer (their logon waits an hour),
with ",PARALLEL=4", waits until its four scan processes run, kills the run
with SIGKILL and checks that none of its scan processes is left after a
while. Then it starts the same run again with systems that answer, which
must answer as usual and remove the working folder that the killed run left
behind. Only outcomes are checked, never times; each wait is bounded.

With --wine the Windows executable of --bin-dir runs under Wine in PREFIX (an
initialised prefix whose wineserver is up: tests/windows/run_suite.py passes
its own), in a folder on its drive C:, with the simulated librfc32.dll beside
it. There the job object that holds the scan processes must end them.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TESTS = Path(__file__).resolve().parent.parent
FIXTURES = TESTS / "e2e" / "fixtures"
sys.path.insert(0, str(TESTS / "e2e"))
from run_case import (  # noqa: E402
    add_program_options, program_environment, sanitizer_report, wine_command)

SCANS = 4
SYSTEMS = ["PRD.P00", "QAS.P00", "DEV.P00", "PRD.P00", "QAS.P00", "DEV.P00"]
LISTING = ("# GSNG: LOGSENS     " + "".join(name + "#" for name in SYSTEMS) + "\n"
           "# GSNX: LOGSENS    Sensor=\"SAP Vendralith\",Profile,Item=LogPages\n")
# Bounds on each wait, far beyond what it takes.
START_WAIT = 60
END_WAIT = 30
# What stands before the program in the command line of a 32-bit Windows
# process run through qemu-i386 (tests/windows/wine32_route.py).
ROUTE_PROGRAMS = ("qemu-i386", "wine", "wine-preloader")
# What the working folders of parallel runs are kept in.
SCANS_FOLDER = "Vendralith.Scans"


def processes_of(names):
    """{pid: command line} of the processes whose first argument holds one of
    the program's names: its path as started, or under Wine its Windows path,
    which the processes it starts show. Through qemu-i386 a process shows
    the emulator and the 32-bit Wine loader before it, which count for none."""
    found = {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            arguments = (entry / "cmdline").read_bytes().split(b"\0")
        except OSError:
            continue  # ended meanwhile
        program = next((argument for argument in arguments
                        if Path(argument.decode("latin-1")).name not in ROUTE_PROGRAMS), b"")
        if any(name.encode() in program for name in names):
            found[int(entry.name)] = b" ".join(arguments).decode("latin-1")
    return found


def wait_for(condition, seconds):
    """Polls condition until it holds or seconds pass; whether it held."""
    ends = time.monotonic() + seconds
    while time.monotonic() < ends:
        if condition():
            return True
        time.sleep(0.1)
    return condition()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    add_program_options(parser)
    options = parser.parse_args()
    environment, temp_parent = program_environment(parser, options)

    problems = []
    with tempfile.TemporaryDirectory(prefix="vendralith-killed-", dir=temp_parent) as temp:
        temp = Path(temp)
        work = temp / "sensors"
        work.mkdir()
        for profile in (FIXTURES / "profiles").glob("*.P00"):
            shutil.copy(profile, work)
        (work / "SAP Kelvaron.Gbl").write_text(LISTING)
        landscape = (FIXTURES / "landscape" / "Landscape.ini").read_text()
        (work / "Answering.ini").write_text(landscape)
        # The logon of every system waits an hour.
        (work / "Hanging.ini").write_text(
            landscape.replace("\nsysnr = ", "\nlatency_ms = 3600000\nsysnr = "))
        bin_dir = temp / "bin"
        bin_dir.mkdir()
        name = "vendralith.exe" if options.wine else "vendralith"
        program = bin_dir / name
        shutil.copy2(options.bin_dir / name, program)
        if options.wine:
            shutil.copy2(options.bin_dir / "simrfc-dll" / "complete" / "librfc32.dll", bin_dir)
            names = [str(program),
                     "C:\\" + str(program.relative_to(temp_parent)).replace("/", "\\")]
            landscape_path = "Z:" + str(work).replace("/", "\\") + "\\"
        else:
            (temp / "drive").mkdir()
            environment["VENDRALITH_DRIVE_ROOT"] = str(temp / "drive")
            landscape_path = str(work) + "/"
            names = [str(program)]
        command = [str(program), "global", "LOGSENS", ",PARALLEL=" + str(SCANS)]
        if options.wine:
            command[:0] = wine_command(environment)

        environment["SIMRFC_LANDSCAPE"] = landscape_path + "Hanging.ini"
        run = subprocess.Popen(command, cwd=work, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
        if not wait_for(lambda: len(set(processes_of(names)) - {run.pid}) >= SCANS, START_WAIT):
            problems.append(f"the run did not start {SCANS} scan processes within "
                            f"{START_WAIT} s: {processes_of(names)}")
        scans = set(processes_of(names)) - {run.pid}
        # As the monitoring host ends a sensor that takes too long.
        run.kill()
        run.wait(timeout=END_WAIT)
        if not wait_for(lambda: not (scans & set(processes_of(names))), END_WAIT):
            left = {pid: line for pid, line in processes_of(names).items() if pid in scans}
            problems.append(f"{len(left)} scan processes outlived the killed run: {left}")
            for pid in left:
                os.kill(pid, signal.SIGKILL)
        if not (work / SCANS_FOLDER).is_dir():
            problems.append(f"the killed run left no working folder in {SCANS_FOLDER}: "
                            "the test proves nothing about its removal")

        environment["SIMRFC_LANDSCAPE"] = landscape_path + "Answering.ini"
        again = subprocess.run(command, cwd=work, env=environment, capture_output=True,
                               timeout=START_WAIT)
        expected = f"NoSystems={len(SYSTEMS)}, Processed={len(SYSTEMS)}, Failed=0".encode()
        if again.returncode != 0 or expected not in again.stdout:
            problems.append(f"the next run answered with exit {again.returncode}:\n"
                            + again.stdout.decode("latin-1"))
        if (work / SCANS_FOLDER).exists():
            problems.append(f"the next run left {SCANS_FOLDER}: "
                            f"{sorted(p.name for p in (work / SCANS_FOLDER).iterdir())}")
        if sanitizer_report(again.stderr):
            problems.append("sanitizer report:\n" + again.stderr.decode("latin-1"))

    for problem in problems:
        print(problem)
    print(f"killed a run with {len(scans)} scan processes: "
          + ("none was left, and the next run removed its folder" if not problems
             else f"{len(problems)} problems"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
