#!/usr/bin/env python3
"""Checks the password check of the end-to-end runner: its decoding must find
the clear password of every stored text the profile tool writes, and a clear
password in any output must fail the case. Also checks how the runner grows
the files of a case's repeat file and fills in their {NOW...} times, and
which runs under Wine it takes for a start that broke down. Argument:
vendralith-profile."""

import subprocess
import sys
import tempfile
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
# A password beyond Latin-1 is looked for in the bytes it could be written in.
polish = "\u0141\u00f3d\u017a-2026"
for outputs, expected in [
    ({"work/Logons.txt": polish.encode("utf-8")}, [f"clear password {polish!r} in work/Logons.txt"]),
    ({"standard output": "Pr\u00fcf\u20ac".encode("cp1252")},
     ["clear password 'Prüf€' in standard output"]),
    ({"standard output": b"Lodz-2026"}, []),
]:
    found = run_case.leaked_passwords({polish, "Pr\u00fcf\u20ac"}, outputs)
    if found != expected:
        failures.append(f"{outputs}: reported {found}, expected {expected}")
if not run_case.leaked_passwords({"pw2"}, {}):
    failures.append("a three-character password is accepted although it cannot be looked for")
# Each row: the variables of an env file, and the passwords the check looks for.
for environment, expected in [
    ({"prtg_windowspassword": "Host4Windows", "prtg_windowsuser": "monitor"},  # the user is none
     {"Host4Windows"}),
    ({"PRTG_LINUXPASSWORD": "Host4Linux", "prtg_windowspassword": "Host4Windows"},  # any case
     {"Host4Linux", "Host4Windows"}),
    ({"prtg_windowspassword": "", "SIMRFC_SNC_MYNAME": "p:CN=PROBE"}, set()),  # empty, other
]:
    found = run_case.host_passwords(environment)
    if found != expected:
        failures.append(f"env {environment}: passwords {found}, expected {expected}")
landscape = b"[system PRD]\npassword =  Watch 4 Logs \n"
if run_case.clear_passwords({"work/Landscape.ini": landscape}) != {"Watch 4 Logs"}:
    failures.append("a landscape password with inner blanks is not found")

# A rows file: names, variables with their escapes, and the text of each row.
with tempfile.TemporaryDirectory() as temp:
    (Path(temp) / "rows").write_text(
        "trailing line feed | A=monitor | B=Watch4Logs\\n | Error 1032: x\n"
        "a tab, a pipe, a backslash | A=mon\\titor | B=a\\|b\\\\c | t\n\n")
    found = run_case.case_rows(Path(temp))
    expected = [("trailing line feed", {"A": "monitor", "B": "Watch4Logs\n"}, "Error 1032: x"),
                ("a tab, a pipe, a backslash", {"A": "mon\titor", "B": "a|b\\c"}, "t")]
    if found != expected:
        failures.append(f"rows: read {found}, expected {expected}")

# Each row: repeated text, count and tail, and the file they grow to.
for unit, count, tail, expected in [
    (b"ab\n", 3, b"", b"ab\nab\nab\n"),                             # plain copies
    (b"{N},", 3, b"end", b"0,1,2,end"),                               # numbered, then the tail
    (b"{N%11} ", 12, b"", b"00 01 02 03 04 05 06 07 08 09 10 00 "),   # wraps, zero-padded
    (b"{TIME} {N}\n", 1, b"", b"{TIME} 0\n"),                         # other placeholders stay
    (b"x", 0, b"tail", b"tail"),                                      # no copies
    (b"{N*10} ", 3, b"", b"0 10 20 "),                                # times a factor
    (b"{NOW-7+{N}} ", 2, b"", b"{NOW-7+0} {NOW-7+1} "),              # {NOW} stays for later
]:
    found = run_case.grown(unit, count, tail)
    if found != expected:
        failures.append(f"{unit!r} x {count} + {tail!r}: grew to {found!r}")

with tempfile.TemporaryDirectory() as temp:
    case = Path(temp) / "case"
    (case / "work").mkdir(parents=True)
    (case / "after-files" / "work").mkdir(parents=True)
    (case / "repeat").write_text("2 work/big\n3 after-files/work/big\n")
    (case / "work" / "big.repeat").write_bytes(b"line\n")
    (case / "work" / "big").write_bytes(b"last\n")
    (case / "work" / "small").write_bytes(b"as is\n")
    (case / "after-files" / "work" / "big.repeat").write_bytes(b"line\n")
    files = run_case.case_files(case, Path(temp) / "run", 1000)
    placed = {path.relative_to(files).as_posix(): path.read_bytes()
              for path in files.rglob("*") if path.is_file()}
    if placed != {"work/big": b"line\nline\nlast\n", "work/small": b"as is\n",
                  "after-files/work/big": b"line\nline\nline\n"}:
        failures.append(f"a case with a repeat file gives {placed}")
    if (case / "work" / "big").read_bytes() != b"last\n":
        failures.append("growing a file changed the case itself")

# A trend file seeded relative to the run: a head, numbered lines, {NOW...}.
with tempfile.TemporaryDirectory() as temp:
    case = Path(temp) / "case"
    (case / "work" / "Vendralith.Trend").mkdir(parents=True)
    (case / "after-files").mkdir()
    (case / "repeat").write_text("2 work/Vendralith.Trend/PRD.txt\n")
    (case / "work" / "Vendralith.Trend" / "PRD.txt.head").write_bytes(b"Vendralith trend 1\n")
    (case / "work" / "Vendralith.Trend" / "PRD.txt.repeat").write_bytes(b"{NOW-60+{N*30}} 1\n")
    (case / "work" / "Vendralith.Trend" / "PRD.txt").write_bytes(b"{NOW} {NOW+5-2}\n")
    (case / "after-files" / "PRD.txt").write_bytes(b"{NOW-3600} {UTC}\n")
    files = run_case.case_files(case, Path(temp) / "run", 1000)
    placed = {path.relative_to(files).as_posix(): path.read_bytes()
              for path in files.rglob("*") if path.is_file()}
    if placed != {"work/Vendralith.Trend/PRD.txt": b"Vendralith trend 1\n940 1\n970 1\n1000 1003\n",
                  "after-files/PRD.txt": b"-2600 {UTC}\n"}:
        failures.append(f"a case with {{NOW}} gives {placed}")
    if not run_case.matches(b"{UTC} 1\n", b"1796987333 1\n"):
        failures.append("{UTC} does not match a time in UTC seconds")

# Each row: exit code, standard output and error of a run under Wine, and
# whether the Windows suite takes it for a start that broke down.
WINE_LINE = b"wine client error:0: recvmsg: Connection reset by peer\n"
for exit_code, stdout, stderr, broken in [
    (1, b"", b"", True),                                  # nothing at all
    (1, b"", WINE_LINE, True),                            # only Wine's own line
    (1, b"", WINE_LINE.replace(b"\n", b"\r\n"), True),     # with a CR LF line end
    (2, b"", WINE_LINE, False),                           # an exit code of the sensor's
    (1, b"<Prtg>", WINE_LINE, False),                     # the program printed
    (1, b"", WINE_LINE + b"RFC error\n", False),           # more than Wine's line
    (1, b"", b"wine: could not load kernel32.dll\n", False),  # another message
]:
    if run_case.broken_wine_start(exit_code, stdout, stderr) != broken:
        failures.append(f"exit {exit_code}, {stdout!r}, {stderr!r}: "
                        f"{'not ' if broken else ''}taken for a broken-down Wine start")

for failure in failures:
    print("FAIL", failure)
print(f"{'ok' if not failures else 'FAILED'}: checks of the runner")
sys.exit(1 if failures else 0)
