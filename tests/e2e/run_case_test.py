#!/usr/bin/env python3
"""Checks the password check of the end-to-end runner: its decoding must find
the clear password of every stored text the profile tool writes, and a clear
password in any output must fail the case. Argument: vendralith-profile."""

import subprocess
import sys
from pathlib import Path

import run_case

tool = Path(sys.argv[1])
failures = []
key = run_case.profile_key()

# Each row: a clear password and the key offset it is stored with.
for password, offset in [
    ("Watch4Logs", "0"),             # the fixtures' password
    ("mon4prd", "5"),                # another offset
    ("A1" * 10, "9"),                # 20 characters, the most, at the last offset
    ("z~k!q%h&", "4"),               # characters outside the check alphabet
]:
    stored = subprocess.run([str(tool), "scramble", "--offset", offset],
                            input=(password + "\n").encode(), capture_output=True)
    text = stored.stdout.decode().rstrip("\n")
    if stored.returncode != 0:
        failures.append(f"{password!r}: the tool could not store it ({stored.stderr!r})")
    elif run_case.clear_password(text, key) != password:
        failures.append(f"{password!r}: stored {text!r} decodes to "
                        f"{run_case.clear_password(text, key)!r}")
    profile = f"; comment\r\nPassword...: {text}\r\n".encode()
    if run_case.clear_passwords({"work/PRD.P00": profile}) != {password}:
        failures.append(f"{password!r}: not found in a profile with CRLF line ends")

# Each row: what the outputs hold, and what the check must report.
for outputs, expected in [
    ({"standard output": b"<Text>ok</Text>"}, []),                          # nothing leaks
    ({"work/Dev_Rfc.Trc": b"PASSWD=Watch4Logs"},                             # a written file
     ["clear password 'Watch4Logs' in work/Dev_Rfc.Trc"]),
    ({"standard error": b"xWatch4Logsx"},                                    # inside other text
     ["clear password 'Watch4Logs' in standard error"]),
]:
    found = run_case.leaked_passwords({"Watch4Logs"}, outputs)
    if found != expected:
        failures.append(f"{outputs}: reported {found}, expected {expected}")
if not run_case.leaked_passwords({"pw2"}, {}):
    failures.append("a three-character password is accepted although it cannot be looked for")
landscape = b"[system PRD]\npassword =  Watch 4 Logs \n"
if run_case.clear_passwords({"work/Landscape.ini": landscape}) != {"Watch 4 Logs"}:
    failures.append("a landscape password with inner blanks is not found")

for failure in failures:
    print("FAIL", failure)
print(f"{'ok' if not failures else 'FAILED'}: password check of the runner")
sys.exit(1 if failures else 0)
