#!/usr/bin/env python3
"""Two scans of one database at once keep its trend file whole.

    trend_scans_at_once.py --bin-dir DIR [--wine --wine-prefix PREFIX] [--rounds N]

A folder holds the trend fixture's landscape, the profiles and a file of
Vendralith.Trend for PRD seeded with samples of the last hours. In each of
--rounds rounds two scans of PRD with ",TREND" start at once. After each
round the file must be exactly of its form (first line "Vendralith trend 1",
then "<UTC seconds> <L> <U> <S>" per line, oldest first), must still hold
every seeded sample and every sample of an earlier round (only a sample of
the very second a later scan ran may go, as the file's rule says), and must
have gained a sample; both scans must answer with exit code 0 and a
LogFullIn channel. The first problems are printed; the exit code is 1 when
there is any.

With --wine the Windows executable of --bin-dir runs under Wine in PREFIX,
in a folder on its drive C:, through the simulated library's librfc32.dll
beside it. A start that broke down under Wine (broken_wine_start in
tests/e2e/run_case.py) never reached the file: it does not count, and the
closing line names how many did.
"""

import argparse
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

TESTS = Path(__file__).resolve().parent.parent
FIXTURES = TESTS / "e2e" / "fixtures"
sys.path.insert(0, str(TESTS / "e2e"))
from run_case import (  # noqa: E402
    add_program_options, broken_wine_start, program_environment, sanitizer_report, wine_command)

SCAN_TIMEOUT = 60
SHOWN_PROBLEMS = 5
TREND_FILE = Path("Vendralith.Trend") / "PRD_dbprd01.txt"
FIRST_LINE = "Vendralith trend 1"
SAMPLE = re.compile(r"(0|[1-9][0-9]*) (0|[1-9][0-9]*) (0|[1-9][0-9]*) (0|[1-9][0-9]*)")


def samples_of(text):
    """The samples of a trend file's text as tuples, or None when it is not
    exactly of the file's form."""
    lines = text.replace("\r\n", "\n").split("\n")
    if lines[0] != FIRST_LINE or lines[-1] != "":
        return None
    samples = []
    for line in lines[1:-1]:
        match = SAMPLE.fullmatch(line)
        if not match:
            return None
        samples.append(tuple(int(number) for number in match.groups()))
    if any(older[0] > newer[0] for older, newer in zip(samples, samples[1:])):
        return None
    return samples


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    add_program_options(parser)
    parser.add_argument("--rounds", type=int, default=50)
    options = parser.parse_args()
    environment, temp_parent = program_environment(parser, options)

    with tempfile.TemporaryDirectory(prefix="vendralith-trend-", dir=temp_parent) as temp:
        temp = Path(temp)
        work = temp / "sensors"
        work.mkdir()
        shutil.copy(FIXTURES / "trend" / "Landscape.ini", work)
        for profile in (FIXTURES / "profiles").glob("*.P00"):
            shutil.copy(profile, work)
        now = int(time.time())
        seeded = [(now - minutes * 60, 100000, 55000 + minutes, 200)
                  for minutes in range(300, 0, -30)]
        (work / TREND_FILE).parent.mkdir()
        (work / TREND_FILE).write_text(
            FIRST_LINE + "\n" + "".join(" ".join(map(str, s)) + "\n" for s in seeded))
        landscape = work / "Landscape.ini"
        environment["SIMRFC_LANDSCAPE"] = (
            "Z:" + str(landscape).replace("/", "\\") if options.wine else str(landscape))
        if not options.wine:
            (temp / "drive").mkdir()
            environment["VENDRALITH_DRIVE_ROOT"] = str(temp / "drive")
        program = temp / "bin" / ("vendralith.exe" if options.wine else "vendralith")
        program.parent.mkdir()
        shutil.copy2(options.bin_dir.resolve() / program.name, program)
        command = [str(program), "PRD", ",TREND"]
        if options.wine:
            shutil.copy2(options.bin_dir.resolve() / "simrfc-dll" / "complete" / "librfc32.dll",
                         program.parent)
            command[:0] = wine_command(environment)

        problems = []
        broken = 0
        kept = list(seeded)
        for round_number in range(options.rounds):
            started = int(time.time())
            scans = [subprocess.Popen(command, cwd=work, env=environment, stdout=subprocess.PIPE,
                                      stderr=subprocess.PIPE) for _ in range(2)]
            for scan in scans:
                stdout, stderr = scan.communicate(timeout=SCAN_TIMEOUT)
                if options.wine and broken_wine_start(scan.returncode, stdout, stderr):
                    # Wine's, not the sensor's: it never reached the file.
                    broken += 1
                    continue
                if scan.returncode != 0 or b"<Channel>LogFullIn</Channel>" not in stdout:
                    problems.append(f"round {round_number}: exit {scan.returncode}, "
                                    f"output {stdout[-200:]!r}")
                if sanitizer_report(stderr):
                    problems.append(f"round {round_number}: {stderr.decode('latin-1')}")
            samples = samples_of((work / TREND_FILE).read_bytes().decode("latin-1"))
            if samples is None:
                problems.append(f"round {round_number}: the file is not of its form")
                break
            # A sample of the second a scan of this round ran may go: the later
            # scan drops what is not older than itself.
            lost = [s for s in kept if s[0] < started and s not in samples]
            if lost:
                problems.append(f"round {round_number}: lost {lost[:3]}")
            if len(samples) <= len([s for s in kept if s[0] < started]):
                problems.append(f"round {round_number}: no sample was added")
            kept = samples

    for problem in problems[:SHOWN_PROBLEMS]:
        print(problem)
    print(f"{options.rounds} rounds of two scans at once; the file holds {len(kept)} samples; "
          f"{len(problems)} problems"
          + (f"; {broken} Wine starts broke down and did not count" if broken else ""))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
