#!/usr/bin/env python3
"""Tries vendralith-profile as a user does: scramble a password, put it in a
profile, check the profile, ask for the version, and get the errors of wrong
usage.

    profile_tool_test.py PATH-OF-vendralith-profile VERSION
"""

import re
import subprocess
import sys
import tempfile
from pathlib import Path

# The end-to-end runner's test for sanitizer reports; no bytecode in the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from run_case import profile_key, sanitizer_report  # noqa: E402

tool = Path(sys.argv[1])
version = sys.argv[2]  # the CMake project version
failures = []


def run(*arguments, stdin=""):
    result = subprocess.run([str(tool), *arguments], input=stdin.encode(), capture_output=True)
    if sanitizer_report(result.stderr):
        failures.append(f"{arguments}: sanitizer report:\n" + result.stderr.decode("latin-1"))
    return result


def expect(what, condition):
    if not condition:
        failures.append(what)


def scrambled(clear, offset):
    """The stored text of clear with that key offset, written as the sensor
    reads it, with the first padding that leaves every character printable."""
    key = profile_key()
    alphabet = "01234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
    for pad in "abcdefghijklmnopqrstuvwxyz":
        shuffled = clear + pad * (20 - len(clear))
        check = sum(ord(c) for c in shuffled if c in alphabet) % 10
        header = f"{check}{offset}{len(clear):02d}"
        body = [0] * 20
        for j in range(10):
            body[j], body[19 - j] = ord(shuffled[2 * j]), ord(shuffled[2 * j + 1])
        stored = "".join(chr(ord(h) ^ key[i]) for i, h in enumerate(header))
        stored += "".join(chr(b ^ key[offset + i]) for i, b in enumerate(body))
        if all(" " <= c <= "~" for c in stored):
            return stored
    raise ValueError(f"{clear!r} cannot be stored with offset {offset}")


# The fixture profile of the end-to-end cases, with the password line to fill in.
PROFILE = re.sub(r"(?m)^Password\.\.\.: .*$", "Password...: {password}",
                 (Path(__file__).resolve().parent.parent / "e2e" / "fixtures" / "profiles" /
                  "PRD.P00").read_text())

with tempfile.TemporaryDirectory() as folder:
    profile = Path(folder) / "PRD.P00"
    for password in ["mon4prd", "Secret#12", "Q7", "A" * 20, "z~k!q%h&"]:
        for offset in [None, "0", "7"]:
            result = run("scramble", *(["--offset", offset] if offset else []),
                         stdin=password + "\n")
            if result.returncode == 2 and offset:
                # Some characters cannot be stored with some offsets; the tool says so.
                expect(f"{password!r} offset {offset}: reason",
                       b"another offset" in result.stderr)
                continue
            stored = result.stdout.decode().rstrip("\n")
            expect(f"{password!r} offset {offset}: exit {result.returncode}", result.returncode == 0)
            expect(f"{password!r}: 24 printable characters, got {stored!r}",
                   len(stored) == 24 and all(" " <= c <= "~" for c in stored))
            profile.write_text(PROFILE.format(password=stored))
            check = run("check", str(profile))
            expect(f"{password!r} offset {offset}: check exit {check.returncode}",
                   check.returncode == 0 and check.stdout.endswith(b"\nOK\n"))
            expect(f"{password!r}: check never shows the password",
                   password.encode() not in check.stdout and stored.encode() not in check.stdout)

    # x5abcdefg with key offset 1 gives a stored text that ends with a blank,
    # which an editor may trim. Without --offset the tool never writes such a
    # text; with that offset it refuses.
    for attempt in range(40):
        stored = run("scramble", stdin="x5abcdefg\n").stdout.decode().rstrip("\n")
        if stored != stored.strip(" "):
            failures.append(f"scramble without --offset wrote {stored!r}, with a blank at an end")
            break
    refused = run("scramble", "--offset", "1", stdin="x5abcdefg\n")
    expect(f"--offset 1 for x5abcdefg: exit {refused.returncode}, nothing stored, and why",
           refused.returncode == 2 and not refused.stdout and b"blank" in refused.stderr)
    # check warns about such a text written by an older tool.
    profile.write_text(PROFILE.format(password=scrambled("x5abcdefg", 1)))
    check = run("check", str(profile))
    expect(f"check of a stored text that ends with a blank: {check.stdout!r}",
           check.returncode == 0 and b"\nWarning: the stored password begins or ends with a blank"
           in check.stdout and check.stdout.endswith(b"\nOK\n"))

    profile.write_text(PROFILE.format(password="short"))
    check = run("check", str(profile))
    expect("a bad password: exit 2 and the sensor's message",
           check.returncode == 2 and check.stdout.endswith(
               b"Error 1004: Invalid Password in Profile PRD.P00 found...\n"))
    check = run("check", str(Path(folder) / "NONE.P00"))
    expect("a missing profile: exit 2", check.returncode == 2 and b"is missing..." in check.stdout)

    # With --cred the user and password are the monitoring host's, or none
    # (SNC): the profile needs neither line, and a stored one is not read.
    without = re.sub(r"(?m)^(User\.{7}|Password\.{3}):.*\n", "", PROFILE.format(password="x"))
    damaged = PROFILE.format(password="damaged")
    snc = "DEST=PRD\nTYPE=A\nASHOST=sapprd\nSNC_MODE=1\nSNC_PARTNERNAME=p:CN=PRD\n"
    refused = b"Error 1011: RFC-Open for PRD failed ! - CRED=SNC needs SNC_MODE=1 in SapRfc.PRD\n"
    # Each row: the profile, SapRfc.PRD beside it, the check's options, exit code and last line.
    for text, destination, options, code, last in [
        (without, None, ["--cred", "windows"], 0, b"OK\n"),                  # no credential lines
        (damaged, None, ["--cred", "LINUX"], 0, b"OK\n"),                    # a damaged password
        (without, None, [], 2, b"Error 1006: Username in Profile PRD.P00 is missing...\n"),
        (without, None, ["--cred", "snc"], 2, refused),                       # no SapRfc.PRD
        (without, "DEST=PRD\nASHOST=sapprd\n", ["--cred", "snc"], 2, refused),  # SNC not on
        (without, snc, ["--cred", "snc"], 0, b"OK\n"),                        # SNC on
        (without, "DEST=PRD\nASHOST=sapprd\nSNC_MODE=1\n", ["--cred", "snc"], 2,
         refused.replace(b"SNC_MODE=1", b"SNC_PARTNERNAME")),  # no partner's name: named
    ]:
        profile.write_text(text)
        beside = Path(folder) / "SapRfc.PRD"
        if destination is None:
            beside.unlink(missing_ok=True)
        else:
            beside.write_text(destination)
        check = run("check", *options, str(profile))
        expect(f"check {options}: exit {check.returncode}, expected {code}; {check.stdout!r}",
               check.returncode == code and check.stdout.endswith(last))
        expect(f"check {options}: the host's or none named",
               not options or b"User: (" in check.stdout and b"Password: (" in check.stdout)

    for arguments, stdin, code in [
        ((), "", 64),                      # no command
        (("frobnicate",), "", 64),         # unknown command
        (("check",), "", 64),              # no file
        (("check", "--cred"), "", 64),     # no source
        (("check", "--cred", "kerberos", "X.P00"), "", 64),  # another source
        (("scramble", "--offset", "10"), "x\n", 64),  # offset past 9
        (("scramble", "--help"), "", 0),   # help
        (("scramble",), "\n", 2),          # no password
        (("scramble",), "x\n", 2),         # too short for the sensor
        (("scramble",), "a" * 21 + "\n", 2),  # over 20 characters
        (("scramble",), "with blank\n", 2),   # a blank
    ]:
        result = run(*arguments, stdin=stdin)
        expect(f"{arguments}: exit {result.returncode}, expected {code}", result.returncode == code)
        if code == 64:
            expect(f"{arguments}: one-line error", result.stderr.count(b"\n") == 1)

result = run("--version")
expect(f"--version prints {result.stdout!r}",
       result.stdout == f"vendralith-profile {version}\n".encode() and not result.stderr)
expect("--help names --version", b"vendralith-profile --version" in run("--help").stdout)

for failure in failures:
    print("FAIL", failure)
print(f"{'ok' if not failures else 'FAILED'}: vendralith-profile")
sys.exit(1 if failures else 0)
