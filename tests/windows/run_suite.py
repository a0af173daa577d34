#!/usr/bin/env python3
"""Runs every end-to-end case against the Windows executables under Wine.

    run_suite.py --bin-dir build/windows64 [--bin-dir build/windows] [CASE...]

Each --bin-dir is a Windows build (32-bit or 64-bit, read from its
vendralith.exe); the suite runs once for each, the 64-bit program under
64-bit Wine, the 32-bit one under 32-bit Wine in a 32-bit prefix (WINEARCH
win32). A machine that cannot start 32-bit programs (a kernel without 32-bit
emulation gives "Exec format error" for the 32-bit Wine loader) runs the
32-bit suite through qemu-i386 (tests/windows/wine32_route.py); the 32-bit
suite's first line says which way it runs ("32-bit: native" or "32-bit:
through qemu-i386 VERSION"). Where neither way is open (no qemu-i386 8.1 or
newer), the run says so in a line of its own and counts that suite as one
skipped, and still runs the others in full.

The cases are the folders of tests/e2e/cases, the same ones the native build
runs; tests/e2e/run_case.py runs each with --wine. All cases of a build share
one Wine prefix, made new for each run of the suite (by default in the build
folder; no Wine set-up outside it is touched), and one wineserver that stays
up until the end, so that a case costs a fraction of a second instead of a
Wine start-up. The suite starts that wineserver and initialises the prefix
itself, their output on /dev/null, before the first case: Wine's helper
processes started with the first program would inherit its standard output
and error and hold a case's pipes open until the wineserver ends. The cases
run one after another: they share the prefix's drives. Each case runs twice:
once finding the simulated library's librfc32.dll of its build
(BIN_DIR/simrfc-dll) beside its copy of vendralith.exe, once finding its
sapnwrfc.dll there, so every case runs through both run-time bindings; a case
that places the libraries itself runs once, as it says. A multi-system case
runs once more with ",PARALLEL=4" (run_case.py --parallel), so that its scan
processes run under Wine too: through librfc32.dll only, since how a run
starts and ends its scan processes does not depend on the library (the native
suite runs these through both, and the cases that set ,PARALLEL= themselves
run through both here too). The cases that place the library of a given
architecture take it from the build of that architecture among the --bin-dir
folders. Then vendralith-profile.exe writes a password line that
vendralith.exe, installed with librfc32.dll beside it, accepts,
tests/stress/parallel_scans.py runs its parallel scans under Wine, and
tests/stress/parallel_run_killed.py kills a run with ,PARALLEL= and finds
none of its scan processes left, and tests/stress/trend_scans_at_once.py
runs two scans of one database with ,TREND at once, 50 times, through the
Windows program's locks and renames.

A case that fails as a broken-down Wine start looks (nothing on standard
output, and on standard error nothing or only Wine's own "wine client
error:0: recvmsg: Connection reset by peer"; see broken_wine_start in
run_case.py) runs once more and its lines say so: a loaded machine shows it
in about one start of 300 to 600, for a trivial MinGW program as often as
for the sensor; the native suite runs the same case without such help.

Prints a line per case and closes with "N passed, M failed, K skipped"; the
exit code is 1 when a case failed. A case that cannot hold on Windows (file
permissions, which a case sets for an unprivileged user) or that belongs to
the program of the other bitness prints "skip NAME" and counts as skipped.
"""

import argparse
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

TESTS = Path(__file__).resolve().parent.parent
RUN_CASE = TESTS / "e2e" / "run_case.py"
PARALLEL_SCANS = TESTS / "stress" / "parallel_scans.py"
PARALLEL_RUN_KILLED = TESTS / "stress" / "parallel_run_killed.py"
TREND_SCANS_AT_ONCE = TESTS / "stress" / "trend_scans_at_once.py"
# In a prefix this suite made: only such a folder is removed for a new run.
MARK = ".vendralith-test-prefix"
CASES = TESTS / "e2e" / "cases"
LANDSCAPE = TESTS / "e2e" / "fixtures" / "landscape" / "Landscape.ini"

sys.path.insert(0, str(RUN_CASE.parent))
from run_case import (  # noqa: E402
    NOTHING_PRINTED_UNDER_WINE, SKIPPED, multi_system_case, pe_bitness, sets_parallel,
    wine_command, wine_environment)
from wine32_route import wine32_route  # noqa: E402

ARCHITECTURES = {32: "x86", 64: "x64"}

# The fixture profile of the end-to-end cases, with the password line to fill in.
PROFILE = re.sub(r"(?m)^Password\.\.\.: .*$", "Password...: {password}",
                 (TESTS / "e2e" / "fixtures" / "profiles" / "PRD.P00").read_text())


def profile_tool_round_trip(bin_dir, prefix, environment):
    """The profile tool as an administrator uses it on the monitoring host:
    scramble the password (given with a Windows line end), put the line into
    a profile written with Windows line ends, check it, and let the sensor
    log on with it. Returns what went wrong."""
    work = prefix / "drive_c" / "vendralith-profile-tool"
    # Installed as on a host: both programs and librfc32.dll in one folder.
    installed = prefix / "drive_c" / "vendralith"
    failures = []

    def run(program, *arguments, stdin=b""):
        return subprocess.run([*wine_command(environment), str(installed / program), *arguments],
                              cwd=work,
                              env=environment, input=stdin, capture_output=True, timeout=120)

    work.mkdir()
    installed.mkdir()
    for program in ("vendralith.exe", "vendralith-profile.exe"):
        shutil.copy2(bin_dir / program, installed)
    shutil.copy2(bin_dir / "simrfc-dll" / "complete" / "librfc32.dll", installed)
    try:
        shutil.copy2(LANDSCAPE, work)
        scramble = run("vendralith-profile.exe", "scramble", stdin=b"Watch4Logs\r\n")
        line = scramble.stdout
        if scramble.returncode != 0 or len(line) != 26 or not line.endswith(b"\r\n"):
            return [f"scramble: exit {scramble.returncode}, output {line!r}, "
                    f"expected 24 characters and a Windows line end"]
        profile = PROFILE.format(password=line[:24].decode("ascii"))
        (work / "PRD.P00").write_bytes(profile.replace("\n", "\r\n").encode("ascii"))
        check = run("vendralith-profile.exe", "check", "PRD.P00")
        if check.returncode != 0 or not check.stdout.endswith(b"\r\nOK\r\n"):
            failures.append(f"check: exit {check.returncode}, output {check.stdout!r}")
        sensor = run("vendralith.exe", "PRD")
        if sensor.returncode != 0 or b"<Text>(PRD) LogStates: " not in sensor.stdout:
            failures.append(f"sensor: exit {sensor.returncode}, output {sensor.stdout!r}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
        shutil.rmtree(installed, ignore_errors=True)
    return failures


def run_build(bin_dir, prefix, cases, library_dirs, whole_suite, route_environment):
    """Every case (and for the whole suite the profile tool's round trip and
    the parallel scans) against one build: (passed, failed, skipped).
    route_environment holds the variables of the 32-bit route, if any."""
    bitness = pe_bitness(bin_dir / "vendralith.exe")
    environment = {**wine_environment(prefix, bitness), **route_environment}
    started = time.monotonic()
    if prefix.exists():
        if not (prefix / MARK).exists():
            print(f"{prefix} exists and is no prefix of this suite: not removed")
            return 0, 1, 0
        # A run that was killed may have left its wineserver up.
        subprocess.run(["wineserver", "-k"], env=environment, stderr=subprocess.DEVNULL)
        shutil.rmtree(prefix)
    (prefix / "tmp").mkdir(parents=True)
    (prefix / MARK).touch()
    subprocess.run(["wineserver", "-p"], env=environment, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    passed = failed = skipped = rerun = 0
    library_options = []
    for architecture, library_dir in library_dirs.items():
        library_options += [f"--{architecture}-rfc-library-dir", str(library_dir)]
    try:
        subprocess.run([*wine_command(environment), "wineboot", "-i"], env=environment, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        print(f"{bitness}-bit vendralith.exe of {bin_dir}: Wine prefix {prefix} ready after "
              f"{time.monotonic() - started:.1f} s", flush=True)
        for case in cases:
            # Through librfc32.dll, then through sapnwrfc.dll; a case that
            # places its libraries itself runs once.
            bindings = ["classic"] + ([] if (case / "rfc-library").exists() else ["nwrfc"])
            runs = [(binding, []) for binding in bindings]
            # A multi-system run once more with ,PARALLEL=4: scan processes under Wine.
            if multi_system_case(case) and not sets_parallel(case):
                runs.append(("classic", ["--parallel", "4"]))
            for binding, parallel in runs:
                command = [sys.executable, str(RUN_CASE), "--wine", "--wine-prefix", str(prefix),
                           "--bin-dir", str(bin_dir), "--binding", binding, *library_options,
                           *parallel, str(case)]
                result = subprocess.run(command, env=environment, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT)
                sys.stdout.write(result.stdout.decode("utf-8", "replace"))
                if result.returncode == NOTHING_PRINTED_UNDER_WINE:
                    # Wine's own break-down, not the program's: a second
                    # run tells the two apart, and the line says so.
                    print("  the start broke down under Wine (nothing printed, or only Wine's "
                          "client error): once more", flush=True)
                    result = subprocess.run(command, env=environment, stdout=subprocess.PIPE,
                                            stderr=subprocess.STDOUT)
                    sys.stdout.write(result.stdout.decode("utf-8", "replace"))
                    rerun += 1
                sys.stdout.flush()
                if result.returncode == 0:
                    passed += 1
                elif result.returncode == SKIPPED:
                    skipped += 1
                else:
                    failed += 1
        if whole_suite:
            failures = profile_tool_round_trip(bin_dir, prefix, environment)
            print(("FAIL " if failures else "ok ") + "profile_tool_round_trip", flush=True)
            for failure in failures:
                print("  " + failure)
            if failures:
                failed += 1
            else:
                passed += 1
            for name, script in (("parallel_scans", PARALLEL_SCANS),
                                 ("parallel_run_killed", PARALLEL_RUN_KILLED),
                                 ("trend_scans_at_once", TREND_SCANS_AT_ONCE)):
                stress = subprocess.run(
                    [sys.executable, str(script), "--wine", "--wine-prefix", str(prefix),
                     "--bin-dir", str(bin_dir)],
                    env=environment, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
                print(("FAIL " if stress.returncode else "ok ") + name)
                print("  " + stress.stdout.decode("utf-8", "replace").rstrip()
                      .replace("\n", "\n  "), flush=True)
                if stress.returncode:
                    failed += 1
                else:
                    passed += 1
    finally:
        subprocess.run(["wineserver", "-k"], env=environment)
    print(f"{bitness}-bit suite took {time.monotonic() - started:.1f} s: "
          f"{passed} passed, {failed} failed, {skipped} skipped"
          + (f" ({rerun} run twice: the first start broke down under Wine)" if rerun else ""),
          flush=True)
    return passed, failed, skipped


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin-dir", required=True, type=Path, action="append",
                        help="the folder of a vendralith.exe; once per build")
    parser.add_argument("--prefix", type=Path,
                        help="the Wine prefix to make, for a single --bin-dir "
                             "(default: BIN_DIR/wineprefix)")
    parser.add_argument("cases", nargs="*", type=Path,
                        help="case folders (default: all of tests/e2e/cases)")
    options = parser.parse_args()
    if options.prefix and len(options.bin_dir) > 1:
        parser.error("--prefix goes with a single --bin-dir")
    cases = options.cases or sorted(path for path in CASES.iterdir() if path.is_dir())
    builds = {}
    for bin_dir in options.bin_dir:
        bin_dir = bin_dir.resolve()
        bitness = pe_bitness(bin_dir / "vendralith.exe") if (bin_dir / "vendralith.exe").is_file() else None
        if bitness not in ARCHITECTURES:
            print(f"no 32-bit or 64-bit vendralith.exe in {bin_dir}")
            return 2
        builds[bin_dir] = bitness
    library_dirs = {ARCHITECTURES[bitness]: bin_dir / "simrfc-dll"
                    for bin_dir, bitness in builds.items()}

    started = time.monotonic()
    passed = failed = skipped = 0
    for bin_dir, bitness in builds.items():
        route_environment = {}
        if bitness == 32:
            route, problem = wine32_route(bin_dir)
            if problem:
                print(f"SKIPPED: the 32-bit suite of {bin_dir} does not run on this machine, "
                      f"which cannot run 32-bit programs: {problem}", flush=True)
                skipped += 1
                continue
            print(f"32-bit: {route.description}", flush=True)
            route_environment = route.environment
        prefix = (options.prefix or bin_dir / "wineprefix").resolve()
        counts = run_build(bin_dir, prefix, cases, library_dirs, not options.cases,
                           route_environment)
        passed, failed, skipped = (total + count for total, count in
                                   zip((passed, failed, skipped), counts))
    print(f"Windows suite took {time.monotonic() - started:.1f} s")
    print(f"{passed} passed, {failed} failed, {skipped} skipped")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
