#!/usr/bin/env python3
"""Runs one end-to-end case against the real sensor executable.

A case is a folder:
  args        the command-line arguments, one per line (no file: none)
  program     the name the sensor is started under (default: vendralith);
              the runner starts a copy of the executable with that name
  fixtures    names of folders under tests/e2e/fixtures, one per line, whose
              files go into the work folder first
  work/       files for the work folder, the sensor's current folder
  drive/      files for the drive root: drive/c/PRTG_Path.Txt is C:\\PRTG_Path.Txt
  env         extra environment variables, KEY=VALUE per line
  stdout      the expected standard output, byte for byte; {TIME} stands for
              any time of day hh:mm:ss
  stdout.windows  the same for the Windows executable, where it differs by
              more than the "\\r\\n" line ends of a text-mode console
  exit        the expected exit code
  after       the expected changes of files, one per line: "created PATH",
              "changed PATH" or "deleted PATH", PATH under work/ or drive/;
              any other change fails the case
  after-files/PATH  the exact content of a created or changed file

With --record the case's stdout, exit and after files are written from the
run instead of compared (times become {TIME}); read them before committing.

With --wine the Windows executable runs under Wine, in a prefix of the test
run, with drive C: as the drive root and the work folder on it.
"""

import argparse
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

FIXTURES = Path(__file__).resolve().parent / "fixtures"


def read_lines(path):
    if not path.exists():
        return []
    return path.read_text().splitlines()


def snapshot(roots):
    files = {}
    for name, root in roots.items():
        for dirpath, _, filenames in os.walk(root):
            for filename in filenames:
                full = Path(dirpath) / filename
                relative = name + "/" + full.relative_to(root).as_posix()
                files[relative] = full.read_bytes()
    return files


def matches(expected, actual):
    pieces = (re.escape(piece) for piece in expected.split(b"{TIME}"))
    pattern = rb"[0-2][0-9]:[0-5][0-9]:[0-5][0-9]".join(pieces)
    return re.fullmatch(pattern, actual, re.DOTALL) is not None


def show_difference(expected, actual):
    lines = difflib.unified_diff(
        expected.decode("latin-1").splitlines(keepends=True),
        actual.decode("latin-1").splitlines(keepends=True),
        "expected", "actual")
    return "".join(line.replace("\r", "\\r") for line in lines)


def record(case, result, before, after):
    stdout = re.sub(rb"[0-2][0-9]:[0-5][0-9]:[0-5][0-9]", b"{TIME}", result.stdout)
    (case / "stdout").write_bytes(stdout)
    (case / "exit").write_text(f"{result.returncode}\n")
    lines = []
    for path in sorted(set(before) | set(after)):
        if path not in after:
            lines.append(f"deleted {path}")
        elif path not in before:
            lines.append(f"created {path}")
        elif before[path] != after[path]:
            lines.append(f"changed {path}")
    if lines:
        (case / "after").write_text("\n".join(lines) + "\n")
    elif (case / "after").exists():
        (case / "after").unlink()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin-dir", required=True, type=Path)
    parser.add_argument("--wine", action="store_true",
                        help="run the Windows executable under Wine")
    parser.add_argument("--record", action="store_true",
                        help="write the expected results from this run")
    parser.add_argument("case", type=Path)
    options = parser.parse_args()
    case = options.case.resolve()
    failures = []

    with tempfile.TemporaryDirectory(prefix="vendralith-e2e-") as temp:
        temp = Path(temp)
        environment = dict(os.environ)
        if options.wine:
            prefix = Path(os.environ.get("VENDRALITH_WINEPREFIX", temp / "prefix"))
            drive = prefix / "drive_c"
            work = drive / ("work-" + temp.name)
            roots = {"work": work, "drive/c": drive}
            environment["WINEPREFIX"] = str(prefix)
            environment["WINEDEBUG"] = "-all"
            executable_name = "vendralith.exe"
        else:
            drive = temp / "drive"
            work = temp / "work"
            roots = {"work": work, "drive": drive}
            environment["VENDRALITH_DRIVE_ROOT"] = str(drive)
            executable_name = "vendralith"
        work.mkdir(parents=True)
        drive.mkdir(parents=True, exist_ok=True)
        environment.pop("SIMRFC_LANDSCAPE", None)
        environment.pop("RFC_INI", None)

        for fixture in read_lines(case / "fixtures"):
            shutil.copytree(FIXTURES / fixture, work, dirs_exist_ok=True)
        if (case / "work").exists():
            shutil.copytree(case / "work", work, dirs_exist_ok=True)
        placed_on_drive = []
        if (case / "drive").exists():
            source = case / "drive" / "c" if options.wine else case / "drive"
            for path in sorted(source.rglob("*")):
                if path.is_file():
                    placed_on_drive.append(drive / path.relative_to(source))
            shutil.copytree(source, drive, dirs_exist_ok=True)
        for line in read_lines(case / "env"):
            key, _, value = line.partition("=")
            environment[key] = value

        program = (read_lines(case / "program") or ["vendralith"])[0]
        if options.wine:
            program += "" if program.lower().endswith(".exe") else ".exe"
        executable = temp / "bin" / program
        executable.parent.mkdir()
        shutil.copy2(options.bin_dir / executable_name, executable)
        command = [str(executable)] + read_lines(case / "args")
        if options.wine:
            command.insert(0, "wine")

        # Only the case's own files are compared, not the rest of a Wine prefix.
        if options.wine:
            roots = {"work": work}
        before = snapshot(roots)
        try:
            result = subprocess.run(command, cwd=work, env=environment, capture_output=True,
                                    timeout=120)
        finally:
            after = snapshot(roots)
            if options.wine:
                shutil.rmtree(work, ignore_errors=True)
                for path in placed_on_drive:
                    path.unlink(missing_ok=True)

        if options.record:
            record(case, result, before, after)
            print(f"recorded {case.name}")
            return 0

        expected_exit = int((read_lines(case / "exit") or ["0"])[0])
        if result.returncode != expected_exit:
            failures.append(f"exit code {result.returncode}, expected {expected_exit}")

        expected_out_file = case / "stdout"
        if options.wine and (case / "stdout.windows").exists():
            expected_out_file = case / "stdout.windows"
        expected_out = expected_out_file.read_bytes() if expected_out_file.exists() else b""
        if options.wine and expected_out_file.name == "stdout":
            expected_out = expected_out.replace(b"\n", b"\r\n")
        if not matches(expected_out, result.stdout):
            failures.append("standard output differs:\n" +
                            show_difference(expected_out, result.stdout))

        changes = {}
        for path in sorted(set(before) | set(after)):
            if path not in after:
                changes[path] = "deleted"
            elif path not in before:
                changes[path] = "created"
            elif before[path] != after[path]:
                changes[path] = "changed"
        expected_changes = {}
        for line in read_lines(case / "after"):
            if line.strip():
                kind, _, path = line.partition(" ")
                expected_changes[path] = kind
        if changes != expected_changes:
            failures.append(f"file changes {changes}, expected {expected_changes}")
        for path, kind in expected_changes.items():
            expected_file = case / "after-files" / path
            if kind != "deleted" and expected_file.exists() and path in after:
                if after[path] != expected_file.read_bytes():
                    failures.append(f"{path} differs:\n" + show_difference(
                        expected_file.read_bytes(), after[path]))

    if failures:
        print(f"FAIL {case.name}")
        for failure in failures:
            print("  " + failure)
        if result.stderr:
            print("standard error:\n" + result.stderr.decode("latin-1"))
        return 1
    print(f"ok {case.name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
