#!/usr/bin/env python3
"""Parallel scans from one folder give the same results as scans run alone.

    parallel_scans.py --bin-dir DIR [--wine --wine-prefix PREFIX]
                      [--scans N] [--workers N] [--seed N]

The monitoring host starts many sensors at once from one folder. This test
builds such a folder: the systems PRD and QAS are reached through destination
files (SapRfc.PRD, SapRfc.QAS), DEV and BAD through their profiles' options,
and BAD's statistics call fails, so its answer carries the trace note of
Dev_Rfc.Trc. An item-mode listing (Kelvaron.Prf) names DEV and PRD; it also
runs with ",PARALLEL=2", its scan processes in working folders of their own
(which find the landscape through SIMRFC_LANDSCAPE).

Each kind of scan (a system, a dialect, the multi-system run) first runs
alone; then --scans scans of all kinds, in a shuffled order, run in
--workers parallel workers, and each scan's standard output and exit code
must equal those of the same scan run alone. The first differences are
printed; the exit code is 1 when any scan differed or a sanitizer reported a
fault. Only results are compared, never times. The run is bounded: each scan
may take at most SCAN_TIMEOUT seconds, and no new scan starts after
DEADLINE seconds (the closing line says how many ran).

Some scans ask for the call log: every line of Vendralith.log must be whole.
Natively it then checks that lock waits are bounded for the whole run: while
another process holds the destination-file lock, an item-mode run over three
systems that all log on through destination files waits once, about
kScanLockWait, and its later logons do not wait again (the bound on its time
is generous: three waits would take three times as long). Its result equals
the same run's alone.

Under Wine a scan whose start broke down (exit code 1, nothing on standard
output, and on standard error nothing or only Wine's own client error; see
broken_wine_start in tests/e2e/run_case.py) runs once more, and the report
names it.

With --wine the Windows executable of --bin-dir runs under Wine in PREFIX (an
initialised prefix whose wineserver is up: tests/windows/run_suite.py
passes its own), in a folder on its drive C:.
"""

import argparse
import concurrent.futures
import difflib
import fcntl
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

TESTS = Path(__file__).resolve().parent.parent
FIXTURES = TESTS / "e2e" / "fixtures"
sys.path.insert(0, str(TESTS / "e2e"))
from run_case import (  # noqa: E402
    add_program_options, broken_wine_start, lock_file_path, program_environment,
    sanitizer_report, wine_command)

SCAN_TIMEOUT = 120
DEADLINE = 300
SHOWN_DIFFERENCES = 5

# BAD answers the logon and the system information, and fails the
# statistics call: its document holds the last error of Dev_Rfc.Trc.
BAD_SYSTEM = """
[system BAD]
host = sapbad
sysnr = 04
client = 100
user = MONITOR
password = Watch4Logs
fail = receive ADA_LOG_STATISTICS 3 DBIF_DSQL2_SQL_ERROR
"""

DESTINATION_FILES = {
    "SapRfc.PRD": "DEST=PRD\nTYPE=A\nASHOST=sapprd\nSYSNR=00\n",
    "SapRfc.QAS": "DEST=QAS\nTYPE=A\nASHOST=sapqas\nSYSNR=01\n",
}

LISTING = "# Gsng: MAXDB       DEV.P00#PRD.P00#\n"
# Three logons through destination files, for the run that meets a held lock.
DESTINATION_LISTING = "# Gsng: MAXDB       PRD.P00#QAS.P00#PRD.P00#\n"
ITEM_RUN = ("vendralith", ["x", "ITEM=LogPages"])

# (program name, arguments): every kind of scan the folder serves. PRD and
# QAS log on by destination file, DEV and BAD by options, the item-mode run
# both ways; BAD fails in three dialects.
SCANS = [
    ("vendralith", ["PRD"]),
    ("vendralith", ["QAS", "PERCENT"]),
    ("vendralith", ["DEV"]),
    ("vendralith", ["BAD"]),
    ("vendralith-quorrane", ["PRD"]),
    ("vendralith-quorrane", ["BAD"]),
    ("vendralith-pindrel", ["QAS"]),
    ("vendralith-pindrel", ["DEV", "CH=2"]),
    ("vendralith-marsoke", ["BAD", "PERCENT"]),
    ("vendralith", ["x", "ITEM=LogPages"]),
    ("vendralith", ["x", "ITEM=LogPages,PARALLEL=2"]),
    ("vendralith", ["BAD", ",syslog"]),
    ("vendralith-pindrel", ["DEV", "CH=2,SYSLOG"]),
]
# The scans that append to the call log Vendralith.log, and its lines.
LOGGING = (",SYSLOG",)
# A step with its handle, or one of the free-text lines: the closing line of
# the RFC error report and the line naming the loaded library.
LOG_LINE = re.compile(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \d+ "
                      r"(-?\d+ \S.*|\* Pgrm aborted\.\.\.|RFC-Library: \S.*)")


def build_folder(work):
    """The sensor folder: landscape, profiles, destination files, listing."""
    work.mkdir(parents=True)
    shutil.copy(FIXTURES / "landscape" / "Landscape.ini", work)
    for profile in (FIXTURES / "profiles").glob("*.P00"):
        shutil.copy(profile, work)
    with open(work / "Landscape.ini", "a") as landscape:
        landscape.write(BAD_SYSTEM)
    bad = (work / "PRD.P00").read_text()
    bad = bad.replace("Destination: PRD", "Destination: BAD")
    bad = bad.replace("Hostname...: sapprd", "Hostname...: sapbad")
    bad = bad.replace("Sysnr......: 00", "Sysnr......: 04")
    (work / "BAD.P00").write_text(bad)
    for name, content in DESTINATION_FILES.items():
        (work / name).write_text(content)
    (work / "Kelvaron.Prf").write_text(LISTING)


def install_programs(bin_dir, target, wine):
    """A copy of the sensor under each program name the scans use; for the
    Windows program with the simulated library's librfc32.dll beside them,
    where it loads it from, so that the scans reach the library."""
    target.mkdir(parents=True)
    source = bin_dir / ("vendralith.exe" if wine else "vendralith")
    programs = {}
    for name in sorted({program for program, _ in SCANS}):
        copy = target / (name + (".exe" if wine else ""))
        shutil.copy2(source, copy)
        programs[name] = copy
    if wine:
        shutil.copy2(bin_dir / "simrfc-dll" / "complete" / "librfc32.dll", target)
    return programs


class Runner:
    def __init__(self, programs, work, environment, wine):
        self.programs = programs
        self.work = work
        self.environment = environment
        self.wine = wine

    def run(self, scan):
        """(exit code, standard output, standard error) of one scan."""
        program, arguments = scan
        command = [str(self.programs[program])] + arguments
        if self.wine:
            command[:0] = wine_command(self.environment)
        done = subprocess.run(command, cwd=self.work, env=self.environment,
                              capture_output=True, timeout=SCAN_TIMEOUT)
        return done.returncode, done.stdout, done.stderr


def describe(scan):
    program, arguments = scan
    return " ".join([program] + arguments)


def show_difference(scan, alone, parallel):
    lines = [f"{describe(scan)}: exit {parallel[0]} (alone {alone[0]})"]
    diff = difflib.unified_diff(alone[1].decode("latin-1").splitlines(keepends=True),
                                parallel[1].decode("latin-1").splitlines(keepends=True),
                                "alone", "parallel")
    lines += ["  " + line.rstrip("\n").replace("\r", "\\r") for line in diff]
    return "\n".join(lines)


def lock_wait_seconds():
    """kScanLockWait of src/rfc/scan_locks.h, in seconds."""
    header = (TESTS.parent / "src" / "rfc" / "scan_locks.h").read_text()
    return int(re.search(r"kScanLockWait\{(\d+)\}", header).group(1)) / 1000


def held_lock_problems(runner, work):
    """What is wrong with an item-mode run whose three logons through
    destination files meet a destination-file lock that another process holds."""
    held = work.parent / "held-lock"
    shutil.copytree(work, held)
    (held / "Kelvaron.Prf").write_text(DESTINATION_LISTING)
    alone = Runner(runner.programs, held, runner.environment, False).run(ITEM_RUN)
    with open(held / Path(lock_file_path()).name, "a") as lock:
        # Byte 1: the destination-file lock. A classic record lock conflicts
        # with the sensor's open-file-description locks.
        fcntl.lockf(lock, fcntl.LOCK_EX, 1, 1)
        started = time.monotonic()
        result = Runner(runner.programs, held, runner.environment, False).run(ITEM_RUN)
        took = time.monotonic() - started
    problems = []
    if result[:2] != alone[:2]:
        problems.append(show_difference(ITEM_RUN, alone, result))
    wait = lock_wait_seconds()
    if took < wait * 0.9 or took > wait * 2:
        problems.append(f"the run with a held lock took {took:.1f} s: one wait of {wait:.0f} s "
                        f"expected, not one per logon")
    return problems, took


def call_log_problems(work, logging_scans):
    """Lines of the call log that are not whole: parallel scans append to one
    log, each line in one write."""
    log = work / "Vendralith.log"
    if not log.exists():
        return ["no call log Vendralith.log was written"]
    lines = log.read_bytes().decode("latin-1").replace("\r\n", "\n").split("\n")
    if lines[-1] != "":
        return [f"the call log ends inside a line: {lines[-1]!r}"]
    broken = [line for line in lines[:-1] if not LOG_LINE.fullmatch(line)]
    started = sum(1 for line in lines if " program started " in line)
    problems = [f"call log line not whole: {line!r}" for line in broken[:SHOWN_DIFFERENCES]]
    if started != logging_scans:
        problems.append(f"{started} runs logged their start, {logging_scans} scans logged")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    add_program_options(parser)
    parser.add_argument("--scans", type=int, default=400)
    parser.add_argument("--workers", type=int, default=8)
    parser.add_argument("--seed", type=int, default=20261210)
    options = parser.parse_args()
    environment, temp_parent = program_environment(parser, options)

    with tempfile.TemporaryDirectory(prefix="vendralith-parallel-", dir=temp_parent) as temp:
        temp = Path(temp)
        work = temp / "sensors"
        build_folder(work)
        landscape = work / "Landscape.ini"
        environment["SIMRFC_LANDSCAPE"] = (
            "Z:" + str(landscape).replace("/", "\\") if options.wine else str(landscape))
        if not options.wine:
            # No C:\PRTG_Path.Txt: the profiles are found in the current folder.
            (temp / "drive").mkdir()
            environment["VENDRALITH_DRIVE_ROOT"] = str(temp / "drive")
        runner = Runner(install_programs(options.bin_dir.resolve(), temp / "bin", options.wine),
                        work, environment, options.wine)

        alone = {}
        reports = []
        logging_scans = 0
        for scan in SCANS:
            alone[describe(scan)] = runner.run(scan)
            logging_scans += any(word in " ".join(scan[1]).upper() for word in LOGGING)
            if sanitizer_report(alone[describe(scan)][2]):
                reports.append((scan, alone[describe(scan)][2]))

        order = [SCANS[i % len(SCANS)] for i in range(options.scans)]
        random.Random(options.seed).shuffle(order)
        started = time.monotonic()
        stop = threading.Event()
        differences = []
        broken_down = []
        ran = 0
        counted = threading.Lock()

        def scan_in_parallel(scan):
            nonlocal ran, logging_scans
            if stop.is_set() or time.monotonic() - started > DEADLINE:
                stop.set()
                return
            result = runner.run(scan)
            # What a scan under Wine now and then gives on a loaded machine,
            # whatever it scans, even where nothing of the sensor's can end it so.
            if options.wine and result[0] == 1 and broken_wine_start(*result):
                # As the Windows suite does for its cases: once more, and said.
                with counted:
                    broken_down.append(scan)
                result = runner.run(scan)
            with counted:
                ran += 1
                logging_scans += any(word in " ".join(scan[1]).upper() for word in LOGGING)
                if sanitizer_report(result[2]):
                    reports.append((scan, result[2]))
                if result[:2] != alone[describe(scan)][:2]:
                    differences.append((scan, result))

        with concurrent.futures.ThreadPoolExecutor(options.workers) as pool:
            for future in [pool.submit(scan_in_parallel, scan) for scan in order]:
                future.result()

        problems, lock_took = call_log_problems(work, logging_scans), None
        # A scan that never reaches the RFC library would compare nothing.
        problems += [f"{describe(scan)} alone did not reach the RFC library"
                     for scan in SCANS if b"Error 1009" in alone[describe(scan)][1]]
        if not options.wine:
            held_problems, lock_took = held_lock_problems(runner, work)
            problems += held_problems

    for scan, stderr in reports[:SHOWN_DIFFERENCES]:
        print(f"sanitizer report in {describe(scan)}:\n{stderr.decode('latin-1')}")
    for scan, result in differences[:SHOWN_DIFFERENCES]:
        print(show_difference(scan, alone[describe(scan)], result))
    by_kind = {}
    for scan, _ in differences:
        by_kind[describe(scan)] = by_kind.get(describe(scan), 0) + 1
    for kind, count in sorted(by_kind.items()):
        print(f"  {count} x {kind}")
    print(f"{ran} of {len(order)} scans ran in {options.workers} workers; "
          f"{len(differences)} differed from the same scan alone"
          + (f"; {len(reports)} sanitizer reports" if reports else ""))
    for scan in broken_down:
        print(f"{describe(scan)}: its start broke down under Wine (exit code 1, nothing "
              "printed but Wine's own client error, if any); run again")
    for problem in problems:
        print(problem)
    if lock_took is not None:
        print(f"the item-mode run against a held destination-file lock took {lock_took:.1f} s")
    return 1 if differences or reports or problems or ran == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
