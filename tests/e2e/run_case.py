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
              any time of day hh:mm:ss, {RFC-LIBRARY} for the library the
              console names (its path; for the NetWeaver library with its
              version), {ANY} for any text within a line
  stdout.windows  the same for the Windows executable, where it differs by
              more than the "\\r\\n" line ends of a text-mode console
  stdout.nwrfc, exit.nwrfc, after.nwrfc (and stdout.nwrfc.windows)
              what the run through the NetWeaver library gives where it
              differs from the classic library's (--binding nwrfc): only
              what the classic library cannot say, such as a note taken
              from the error's message instead of the trace file
  stdout.parallel, exit.parallel, after.parallel
              what a multi-system run with ",PARALLEL=4" (--parallel) gives
              where it differs from the run one system after another: only
              at a deadline, where more systems have finished
  exit        the expected exit code
  after       the expected changes of files, one per line: "created PATH",
              "changed PATH" or "deleted PATH", PATH under work/ or drive/;
              any other change fails the case
  after-files/PATH  the exact content of a created or changed file
              (after-files.nwrfc/PATH where the NetWeaver binding's differs,
              such as the steps of the call log) (under
              --wine also with CR LF line ends); as in
              stdout, {TIME} stands for a time of day, {DATE} for a date
              YYYY-MM-DD, {PID} for a process number and {PROGRAM} for the
              program's path as started (the lines of the call log), and
              {UTC} for a time in whole UTC seconds (a sample the run added
              to a file of Vendralith.Trend)
  repeat      "COUNT PATH" per line, PATH under work/, drive/ or after-files/:
              a file of megabytes kept small in the tree. The runner makes
              PATH from PATH.repeat written COUNT times, after the case's
              PATH.head if it has one and followed by the case's own PATH if
              it has one (the tail), before the files are placed and
              compared; PATH.repeat and PATH.head themselves are not placed.
              In each copy {N} stands for the copy's number, counted from 0,
              {N*K} for that number times K, and {N%M} for that number
              modulo M, with leading zeros to the digits of M-1 ({N%100} is
              00 to 99).

In the files of work/, drive/ and after-files/, {NOW} stands for the time in
whole UTC seconds when the case starts, and {NOW-3600} or {NOW+60-7} for that
time with the seconds added and taken away (after {N} and the others of
repeat): the samples of Vendralith.Trend that a case seeds lie relative to
its run, under Wine as natively.
  rfc-library where the Windows program finds the RFC libraries: "VARIANT
              PLACE" per line, VARIANT one of complete (the simulated library
              as librfc32.dll of the executable's bitness), incomplete
              (without RfcOpenEx), unicode (the Unicode library's export
              names), dependent (the complete one, importing rfcdep.dll),
              rfcdep (that rfcdep.dll, under its own name), x86 or x64 (the
              complete DLL of that architecture, whatever the executable's),
              text (a text file), netweaver (the simulated library as
              sapnwrfc.dll), netweaver-noinvoke (without RfcInvoke),
              netweaver-dependent (importing libsapucum.dll, as the SDK's
              does), libsapucum (that libsapucum.dll), libsapucum-icu (a
              libsapucum.dll that imports icuuc50.dll, which no case
              places), netweaver-msvcr120 (importing msvcr120.dll, the
              Visual C++ 2013 runtime's, which no case places) or
              netweaver-text (a text file as sapnwrfc.dll), PLACE one of beside (the
              executable), path (a folder on PATH only) or work (the current
              folder); an empty file places none. Without the file the
              complete DLL of the binding (--binding) lies beside the
              executable, so every case under --wine runs through the
              run-time binding; with it the case runs through the classic
              binding only, as the file decides which library is found. The workbench
              program has the simulated library linked in: natively such a
              case is skipped, with exit code 77.
  system-dlls-missing  names of DLLs that must be missing from the system
              folder, one per line, such as msvcr120.dll, which Wine has
              built in: under --wine the runner has Wine load them only from
              files (WINEDLLOVERRIDES NAME=n) and moves its placeholder files
              of them out of the prefix's system folders for the run, so that
              they are missing as on a host without them.
  bitness     32 or 64: the case holds only for the Windows executable of
              that bitness; under --wine the other one skips it, with exit
              code 77 (natively the rfc-library file skips such a case).
  landscape-lines  "SID LINE" per line: LINE (such as "fail = unreachable")
              goes into work/Landscape.ini as a line of the system SID, so
              that one landscape fixture serves every fault
  rows        a table of runs of the case that differ only in environment
              variables and one text: one row per line, fields separated by
              " | ": a short name of the row, then KEY=VALUE assignments added
              to the env file's (in VALUE "\\n", "\\t", "\\|" and "\\\\" stand for a
              line feed, a tab, "|" and a backslash), and last the text that
              stands for {ROW} in stdout. Each row runs as a case of its own
              with the same options, and the case passes when every row does.
  permissions "MODE PATH" per line (octal mode, PATH under work/ or drive/, or
              work itself): set after the files are placed, for files that
              cannot be read and folders that cannot be written. Such a case
              runs the sensor as an unprivileged user, since root ignores
              file permissions: as root the runner hands the case's folders to
              the user nobody and starts the sensor through setpriv as nobody.
              Windows has no such modes: under --wine the case is skipped,
              with exit code 77.

Every case also proves that no clear password leaves the run: the clear
passwords of the case's files (each "password =" of a Landscape.ini, and each
profile's stored "Password...:" decoded as the sensor decodes it) and those
its env file gives as the monitoring host does (each prtg_...password, such
as prtg_windowspassword) must appear neither on standard output or standard
error nor in any file the run created or changed. A clear password shorter than 4 characters could match ordinary
text by chance, so a case that holds one fails.

The lock file by which parallel scans keep apart (its name is kScanLockFile
of src/rfc/scan_locks.h) is left out of the file changes: every scan that
reaches the RFC library creates it in the work folder. It must stay empty.

With --parallel N a multi-system case runs with ",PARALLEL=N" added to its
parameters (a blank and the keyword, in a third argument or at the end of
it) and must give the same answer; any other case, and one that sets the
keyword on its command line itself, is skipped, with exit code 77. Its
scan processes work in folders of their own and find the work folder's
Landscape.ini as a user's would: through the simulated library, which
passes its first folder on to them.

With --record the case's stdout, exit and after files are written from the
run instead of compared (times become {TIME}); read them before committing.

A report of AddressSanitizer, LeakSanitizer or UBSan on standard error fails
the case, and is shown, whatever the output and exit code; --record then
writes nothing.

With --wine the Windows executable (vendralith.exe of --bin-dir) runs under
Wine in the prefix --wine-prefix (default: a new one in a temporary folder).
drive/c goes into the prefix's drive_c and the work folder is a new folder
there, so "\\x" is C:\\x; drive/X for another letter goes into the prefix's
drive_X, which dosdevices maps as X:. Files are placed as Windows copies them:
into an existing folder or file whose name differs only in case. Only the
case's own files are compared; afterwards everything the case or the run
added to the drives is removed and Wine's own files stay. Cases sharing a
prefix must run one after another. With --record, only stdout.windows is
written, and only when the output differs from stdout by more than its line
ends.
"""

import argparse
import ast
import difflib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

FIXTURES = Path(__file__).resolve().parent / "fixtures"


def read_lines(path):
    if not path.exists():
        return []
    return path.read_text().splitlines()


SOURCE = Path(__file__).resolve().parents[2]
# Where Debian keeps the 64-bit Wine loader when no wine64 is on PATH.
WINE64_LOADER = "/usr/lib/wine/wine64"
SKIPPED = 77
# Under Wine: the case failed, and the program's start broke down (see
# broken_wine_start); the Windows suite runs such a case once more.
NOTHING_PRINTED_UNDER_WINE = 3
# The one line Wine itself writes when its connection to the wineserver
# breaks while a program starts or ends.
WINE_CLIENT_ERROR = re.compile(rb"wine client error:\d+: recvmsg: Connection reset by peer\r?\n?")


def broken_wine_start(exit_code, stdout, stderr):
    """How a Wine start that broke down looks, whatever the program was
    asked: nothing on standard output, and on standard error nothing (Wine's
    messages are off) or only Wine's own line that its connection to the
    wineserver was reset; with that line the exit code is 1. Seen about once
    in 300 to 600 starts on a loaded machine, for a trivial MinGW program that
    prints a fixed document as often as for the sensor."""
    if stdout:
        return False
    return not stderr or (exit_code == 1 and WINE_CLIENT_ERROR.fullmatch(stderr) is not None)
NOBODY = 65534
MIN_SECRET = 4


def profile_key():
    """The 32 key bytes of the profile passwords, as the sensor's source has them."""
    source = (SOURCE / "src" / "profile" / "password.cpp").read_text()
    table = re.search(r"kBytes\[32\] = \{([^}]*)\}", source).group(1)
    return [int(value, 16) for value in re.findall(r"0x[0-9A-Fa-f]+", table)]


def lock_file_path():
    """The sensor's lock file in the work folder, as the file changes name it."""
    source = (SOURCE / "src" / "rfc" / "scan_locks.h").read_text()
    return "work/" + re.search(r'kScanLockFile = "([^"]+)"', source).group(1)


def clear_password(stored, key):
    """The clear password of a stored one, or None when it does not decode."""
    if len(stored) != 24:
        return None
    header = [ord(c) ^ key[i] for i, c in enumerate(stored[:4])]
    if not all(ord("0") <= h <= ord("9") for h in header):
        return None
    offset, length = header[1] - 48, (header[2] - 48) * 10 + header[3] - 48
    body = [ord(stored[4 + i]) ^ key[offset + i] for i in range(20)]
    shuffled = [body[j if k == 0 else 19 - j] for j in range(10) for k in (0, 1)]
    clear = "".join(chr(b) for b in shuffled if b != 0)
    alphabet = "01234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
    if header[0] - 48 != sum(ord(c) for c in clear if c in alphabet) % 10:
        return None
    return clear[:length]


def clear_passwords(files):
    """The clear passwords in the files of a case: landscape and profiles."""
    key = profile_key()
    secrets = set()
    for path, content in files.items():
        text = content.decode("latin-1")
        if Path(path).name.lower() == "landscape.ini":
            secrets.update(m.strip() for m in re.findall(r"(?mi)^[ \t]*password[ \t]*=(.*)$", text))
        for stored in re.findall(r"(?m)^Password\.\.\.:.(.{24})\r?$", text):
            secrets.add(clear_password(stored, key))
    secrets.discard(None)
    secrets.discard("")
    return secrets


def host_passwords(environment):
    """The passwords an env file gives the sensor as the monitoring host
    does: the values of its prtg_...password variables."""
    return {value for key, value in environment.items()
            if re.fullmatch(r"prtg_[a-z0-9_]*password", key, re.IGNORECASE) and value}


def secret_forms(secret):
    """The bytes a clear password could be written in: Latin-1 (also the
    bytes of a file read so), Windows-1252 and UTF-8, as far as each holds it."""
    forms = set()
    for encoding in ("latin-1", "cp1252", "utf-8"):
        try:
            forms.add(secret.encode(encoding))
        except UnicodeEncodeError:
            pass
    return forms


def leaked_passwords(secrets, outputs):
    """What each output that holds a clear password is called."""
    failures = []
    for secret in sorted(secrets):
        if len(secret) < MIN_SECRET:
            failures.append(f"clear password {secret!r} too short to be looked for")
            continue
        for name, content in outputs.items():
            if any(form in content for form in secret_forms(secret)):
                failures.append(f"clear password {secret!r} in {name}")
    return failures


ROW_ESCAPES = {"n": "\n", "t": "\t", "|": "|", "\\": "\\"}


def case_rows(case):
    """The rows of the case's rows file: (name, {KEY: VALUE}, text)."""
    rows = []
    for line in read_lines(case / "rows"):
        if not line.strip():
            continue
        fields = re.split(r"(?<!\\) \| ", line)
        unescaped = [re.sub(r"\\(.)", lambda m: ROW_ESCAPES.get(m.group(1), m.group(0)), field)
                     for field in fields]
        name, assignments, text = unescaped[0], unescaped[1:-1], unescaped[-1]
        rows.append((name, dict(a.partition("=")[::2] for a in assignments), text))
    return rows


def run_rows(case, rows, case_argument):
    """Runs each row as a case of its own: a copy of the case with the row's
    variables added to its env file and its text in stdout. The exit code of
    the first row that did not pass, else 0 (77 when every row skipped)."""
    codes = []
    with tempfile.TemporaryDirectory(prefix="vendralith-rows-") as temp:
        for number, (name, variables, text) in enumerate(rows):
            row_case = Path(temp) / f"{case.name}.{number}"
            shutil.copytree(case, row_case, ignore=shutil.ignore_patterns("rows"))
            env_lines = read_lines(case / "env") + [f"{k}={v}" for k, v in variables.items()]
            # One variable per line: a value's line feed is written by the runner.
            (row_case / "env").write_bytes(b"")
            (row_case / "env.rows").write_text(repr(env_lines))
            for stdout in row_case.glob("stdout*"):
                stdout.write_bytes(stdout.read_bytes().replace(b"{ROW}", text.encode()))
            argv = [str(row_case) if arg == case_argument else arg for arg in sys.argv[1:]]
            result = subprocess.run([sys.executable, __file__] + argv, capture_output=True)
            report = result.stdout.decode("latin-1").replace(row_case.name, f"{case.name} [{name}]")
            print(report, end="")
            codes.append(result.returncode)
    failed = [code for code in codes if code not in (0, SKIPPED)]
    if failed:
        return failed[0]
    return SKIPPED if codes and all(code == SKIPPED for code in codes) else 0


def add_landscape_lines(case, work):
    """Each "SID LINE" line of the case becomes a line of that system."""
    added = read_lines(case / "landscape-lines")
    if not added:
        return
    landscape = work / "Landscape.ini"
    lines = landscape.read_text().splitlines(keepends=True)
    for entry in added:
        sid, _, line = entry.partition(" ")
        header = next(i for i, text in enumerate(lines)
                      if text.split() == ["[system", sid + "]"])
        lines.insert(header + 1, line + "\n")
    landscape.write_text("".join(lines))


def grown(unit, count, tail, head=b""):
    """head, COUNT copies of unit, each with its {N}, {N*K} and {N%M} filled
    in, then tail."""
    def number(match, copy):
        if match.group(2) is not None:
            return str(copy * int(match.group(2))).encode()
        if match.group(1) is None:
            return str(copy).encode()
        modulus = int(match.group(1))
        return str(copy % modulus).zfill(len(str(modulus - 1))).encode()

    placeholder = re.compile(rb"\{N(?:%([0-9]+)|\*([0-9]+))?\}")
    return head + b"".join(placeholder.sub(lambda match: number(match, copy), unit)
                           for copy in range(count)) + tail


NOW_PLACEHOLDER = re.compile(rb"\{NOW((?:[+-][0-9]+)*)\}")


def with_now(content, now):
    """The content with each {NOW...} as UTC seconds."""
    def seconds(match):
        terms = re.findall(rb"[+-][0-9]+", match.group(1))
        return str(now + sum(int(term) for term in terms)).encode()
    return NOW_PLACEHOLDER.sub(seconds, content)


def case_files(case, temp, now):
    """The folder whose work/, drive/ and after-files/ the run uses: the case
    itself, or, when it has a repeat file or a {NOW...}, a copy in temp with
    those files grown and the times filled in."""
    lines = [line.split(maxsplit=1) for line in read_lines(case / "repeat") if line.strip()]
    names = [name for name in ("work", "drive", "after-files") if (case / name).exists()]
    timed = any(NOW_PLACEHOLDER.search(path.read_bytes())
                for name in names for path in (case / name).rglob("*") if path.is_file())
    if not lines and not timed:
        return case
    staged = temp / "case"
    for name in names:
        shutil.copytree(case / name, staged / name)
    for count, path in lines:
        unit = staged / (path + ".repeat")
        head_file = staged / (path + ".head")
        target = staged / path
        tail = target.read_bytes() if target.exists() else b""
        head = head_file.read_bytes() if head_file.exists() else b""
        target.write_bytes(grown(unit.read_bytes(), int(count), tail, head))
        unit.unlink()
        head_file.unlink(missing_ok=True)
    for name in names:
        for path in (staged / name).rglob("*"):
            if path.is_file():
                path.write_bytes(with_now(path.read_bytes(), now))
    return staged


def permissions(case):
    """The case's "MODE PATH" lines as (mode, path) pairs."""
    pairs = []
    for line in read_lines(case / "permissions"):
        if line.strip():
            mode, _, path = line.partition(" ")
            pairs.append((int(mode, 8), path))
    return pairs


def hand_to_nobody(roots, bin_dir):
    """Lets the user nobody reach the case: it owns the work and drive
    folders, as the monitoring host's account owns its folder."""
    for root in list(roots.values()) + [bin_dir]:
        for dirpath, dirnames, filenames in os.walk(root):
            for name in [dirpath] + [os.path.join(dirpath, n) for n in dirnames + filenames]:
                os.chown(name, NOBODY, NOBODY)


def snapshot(roots):
    files = {}
    for name, root in roots.items():
        for dirpath, _, filenames in os.walk(root):
            for filename in filenames:
                full = Path(dirpath) / filename
                relative = name + "/" + full.relative_to(root).as_posix()
                files[relative] = full.read_bytes()
    return files


# What {RFC-LIBRARY} stands for through each binding: the library's path
# (natively a description of the library linked in), for the NetWeaver
# library followed by its version.
LIBRARY_PATTERNS = {
    "classic": rb"[^\r\n]*librfc32\.dll[^\r\n]*",
    "nwrfc": rb"[^\r\n]*sapnwrfc\.dll[^\r\n]* \([0-9]+\.[0-9]+\.[0-9]+\)",
}

PLACEHOLDERS = {
    b"{TIME}": rb"[0-2][0-9]:[0-5][0-9]:[0-5][0-9]",
    b"{DATE}": rb"[0-9]{4}-[01][0-9]-[0-3][0-9]",
    b"{PID}": rb"[0-9]+",
    b"{PROGRAM}": rb"[^\r\n]*",
    b"{ANY}": rb"[^\r\n]*",
    b"{UTC}": rb"[0-9]{10,}",
}


def matches(expected, actual, binding="classic"):
    forms = {**PLACEHOLDERS, b"{RFC-LIBRARY}": LIBRARY_PATTERNS[binding]}
    split = b"(" + b"|".join(re.escape(placeholder) for placeholder in forms) + b")"
    pattern = b"".join(forms.get(piece, re.escape(piece)) for piece in re.split(split, expected))
    return re.fullmatch(pattern, actual, re.DOTALL) is not None


def multi_system_case(case):
    """Whether the case is a multi-system run: the profile name global (with
    or without a folder, any case) or ITEM= in the parameters."""
    args = read_lines(case / "args")
    if not args:
        return False
    name = re.split(r"[\\/]", args[0])[-1].lower()
    return name in ("global", "global.p00") or any("ITEM=" in arg.upper() for arg in args[1:3])


def sets_parallel(case):
    """Whether the case's command line holds ,PARALLEL= itself."""
    return any(",PARALLEL=" in arg.upper() for arg in read_lines(case / "args")[1:3])


def with_parallel(args, scans):
    """The arguments with ",PARALLEL=scans" added to the parameters."""
    keyword = f",PARALLEL={scans}"
    if len(args) < 3:
        return args + [keyword] if len(args) == 2 else args + ["", keyword]
    return args[:2] + [args[2] + " " + keyword] + args[3:]


def expectation_file(case, name, binding, wine, parallel=False):
    """The case's file of expectations for this run: NAME.parallel for a run
    with ,PARALLEL= where the case has one, NAME.nwrfc through the NetWeaver
    binding where the case has one, NAME.windows under Wine where it has one
    (stdout only), else NAME. Whether CRLF line ends are to be added to the
    file is the second value."""
    candidates = []
    if parallel:
        candidates.append((f"{name}.parallel", wine))
    if binding == "nwrfc":
        if wine:
            candidates.append((f"{name}.nwrfc.windows", False))
        candidates.append((f"{name}.nwrfc", wine))
    if wine:
        candidates.append((f"{name}.windows", False))
    candidates.append((name, wine))
    for candidate, crlf in candidates:
        if (case / candidate).exists():
            return case / candidate, crlf and name == "stdout"
    return case / name, wine and name == "stdout"


def existing_paths(root):
    """Every file and folder below root, as relative POSIX paths; symbolic links are not followed."""
    paths = set()
    for dirpath, dirnames, filenames in os.walk(root):
        for name in dirnames + filenames:
            paths.add((Path(dirpath) / name).relative_to(root).as_posix())
    return paths


def new_files(root, baseline, skip):
    """The files below root that are not in baseline, outside the folder skip."""
    files = {}
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames[:] = [name for name in dirnames if Path(dirpath) / name != skip]
        for filename in filenames:
            full = Path(dirpath) / filename
            relative = full.relative_to(root).as_posix()
            if relative not in baseline:
                files[relative] = full.read_bytes()
    return files


def remove_new(root, baseline):
    """Removes every file and folder below root that is not in baseline."""
    for dirpath, dirnames, filenames in os.walk(root):
        for name in list(dirnames) + filenames:
            full = Path(dirpath) / name
            if full.relative_to(root).as_posix() in baseline:
                continue
            if name in dirnames and not full.is_symlink():
                dirnames.remove(name)
                shutil.rmtree(full, ignore_errors=True)
            else:
                full.unlink(missing_ok=True)


def place_ignoring_case(source, target):
    """Copies the files below source into target as Windows does: a folder or
    file whose name differs only in case is the same one."""
    for path in sorted(source.rglob("*")):
        if not path.is_file():
            continue
        destination = target
        for part in path.relative_to(source).parts:
            same = [entry for entry in (os.listdir(destination) if destination.is_dir() else [])
                    if entry.lower() == part.lower()]
            destination = destination / (same[0] if same else part)
        destination.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(path, destination)


class WineDrives:
    """The drives of a Wine prefix: drive letter c is the prefix's drive_c,
    another letter X its folder drive_X, linked as dosdevices/X:. Remembers
    what each drive held before the case."""

    def __init__(self, prefix, letters):
        self.roots = {}
        for letter in sorted(set(letters) | {"c"}):
            root = prefix / f"drive_{letter}"
            root.mkdir(exist_ok=True)
            if letter != "c":
                link = prefix / "dosdevices" / f"{letter}:"
                if not link.is_symlink() or os.readlink(link) != root.name:
                    if link.is_symlink():
                        link.unlink()
                    link.symlink_to(Path("..") / root.name)
            self.roots[letter] = root
        self.baseline = {letter: existing_paths(root) for letter, root in self.roots.items()}

    def snapshot(self, work):
        files = {}
        for letter, root in self.roots.items():
            for relative, content in new_files(root, self.baseline[letter], work).items():
                files[f"drive/{letter}/{relative}"] = content
        return files

    def clean(self):
        for letter, root in self.roots.items():
            remove_new(root, self.baseline[letter])


def rfc_library_placements(case, binding="classic"):
    """The (variant, place) pairs of the case's rfc-library file."""
    if not (case / "rfc-library").exists():
        return [("netweaver" if binding == "nwrfc" else "complete", "beside")]
    return [tuple(line.split()) for line in read_lines(case / "rfc-library") if line.strip()]


def pe_bitness(path):
    """32 or 64 for a PE image of x86 or x64, else None: the machine field of
    its file header."""
    data = path.read_bytes()[:4096]
    if len(data) < 64 or data[:2] != b"MZ":
        return None
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if data[offset:offset + 4] != b"PE\0\0":
        return None
    machine = struct.unpack_from("<H", data, offset + 4)[0]
    return {0x14C: 32, 0x8664: 64}.get(machine)


# The file a variant of the rfc-library file is placed as, by its first word.
LIBRARY_FILES = {"rfcdep": "rfcdep.dll", "netweaver": "sapnwrfc.dll", "libsapucum": "libsapucum.dll"}


def place_rfc_library(placements, library_dirs, folders, environment):
    """Puts each librfc32.dll (or rfcdep.dll) where the case says; a folder on
    PATH is made for "path" and given to Wine through WINEPATH. library_dirs
    maps None (the executable's own bitness), "x86" and "x64" to the folders
    of the simulated library's DLLs."""
    for variant, place in placements:
        folder = folders[place]
        folder.mkdir(parents=True, exist_ok=True)
        target = folder / LIBRARY_FILES.get(variant.split("-")[0], "librfc32.dll")
        if variant.endswith("text"):
            target.write_text("This is not a library.\r\n")
        elif variant in ("x86", "x64"):
            shutil.copy2(library_dirs[variant] / "complete" / "librfc32.dll", target)
        else:
            shutil.copy2(library_dirs[None] / variant / target.name, target)
        if place == "path":
            # Wine's drive Z: is the root of the Linux file system.
            environment["WINEPATH"] = "Z:" + str(folder).replace("/", "\\")


def hide_system_dlls(names, prefix, aside, environment):
    """Makes the DLLs of the system-dlls-missing file missing for Wine runs in
    prefix: their placeholder files go to the folder aside (outside the
    drives, so that no file change shows) and Wine loads none of them built
    in. Returns the (placeholder, moved) pairs that restore_system_dlls puts
    back."""
    moved = []
    if not names:
        return moved
    aside.mkdir(parents=True, exist_ok=True)
    for system in ("system32", "syswow64"):
        for name in names:
            placeholder = prefix / "drive_c" / "windows" / system / name
            if placeholder.exists():
                target = aside / f"{system}-{name}"
                shutil.move(placeholder, target)
                moved.append((placeholder, target))
    native_only = ",".join(Path(name).stem for name in names) + "=n"
    environment["WINEDLLOVERRIDES"] += ";" + native_only
    return moved


def restore_system_dlls(moved):
    for placeholder, target in moved:
        shutil.move(target, placeholder)


def prepare_wine_prefix(prefix, environment):
    """Initialises the prefix unless it is; slow, so a suite shares one."""
    (prefix / "tmp").mkdir(parents=True, exist_ok=True)
    if not (prefix / "drive_c" / "windows").is_dir():
        subprocess.run([*wine_command(environment), "wineboot", "-i"], env=environment, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# What AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer write on
# standard error when they find a fault. The sensor itself writes nothing
# there, and a fault must fail a case even when the exit code and the output
# happen to match (a leak found at exit leaves both as they were).
SANITIZER_REPORT = re.compile(rb"==[0-9]+==ERROR: [A-Za-z]+Sanitizer|: runtime error: |"
                              rb"SUMMARY: [A-Za-z]+Sanitizer")


def sanitizer_report(stderr):
    return SANITIZER_REPORT.search(stderr) is not None


def show_difference(expected, actual):
    lines = difflib.unified_diff(
        expected.decode("latin-1").splitlines(keepends=True),
        actual.decode("latin-1").splitlines(keepends=True),
        "expected", "actual")
    return "".join(line.replace("\r", "\\r") for line in lines)


def normalised(stdout):
    """Standard output as a case records it: times and the library's line as placeholders."""
    stdout = re.sub(rb"[0-2][0-9]:[0-5][0-9]:[0-5][0-9]", b"{TIME}", stdout)
    return re.sub(rb"(?m)^\* RFC-Library: [^\r\n]*", b"* RFC-Library: {RFC-LIBRARY}", stdout)


def normalised_log(content):
    """A call log as a case records it: date, time, process number, program
    and library as placeholders."""
    content = re.sub(rb"(?m)^[0-9]{4}-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9] [0-9]+ ",
                     b"{DATE} {TIME} {PID} ", content)
    content = re.sub(rb"(?m)( program started ).*$", rb"\1{PROGRAM}", content)
    return re.sub(rb"(?m)(RFC-Library: ).*$", rb"\1{RFC-LIBRARY}", content)


def file_changes(before, after):
    """{path: "created" | "changed" | "deleted"} between two snapshots."""
    changes = {}
    for path in sorted(set(before) | set(after)):
        if path not in after:
            changes[path] = "deleted"
        elif path not in before:
            changes[path] = "created"
        elif before[path] != after[path]:
            changes[path] = "changed"
    return changes


def write_or_remove(path, content, same_as):
    """Writes the expectation, unless it says what same_as says already."""
    if content == same_as:
        path.unlink(missing_ok=True)
    else:
        path.write_bytes(content)


def record(case, result, before, after, binding):
    stdout = normalised(result.stdout)
    exit_text = f"{result.returncode}\n".encode()
    changes = file_changes(before, after)
    after_text = "".join(f"{kind} {path}\n" for path, kind in changes.items()).encode()
    if binding == "nwrfc":
        # Only where the NetWeaver library's run differs from the classic one's.
        for path, content in after.items():
            classic = case / "after-files" / path
            if classic.exists() and not matches(classic.read_bytes(), content, binding):
                own = case / "after-files.nwrfc" / path
                own.parent.mkdir(parents=True, exist_ok=True)
                own.write_bytes(normalised_log(content))
        for name, content in (("stdout", stdout), ("exit", exit_text), ("after", after_text)):
            classic = case / name
            write_or_remove(case / f"{name}.nwrfc", content,
                            classic.read_bytes() if classic.exists() else
                            (b"0\n" if name == "exit" else b""))
        return
    (case / "stdout").write_bytes(stdout)
    (case / "exit").write_bytes(exit_text)
    write_or_remove(case / "after", after_text, b"")


def wine_command(environment):
    """The start of a command that runs a Windows program under Wine for the
    environment of wine_environment: its loader, or where a preloader lies
    beside it (the 32-bit route through qemu-i386, tests/windows/wine32_route.py)
    that preloader with the loader, as Wine starts its own processes."""
    loader = environment.get("WINELOADER", "wine")
    preloader = Path(loader + "-preloader")
    if preloader.is_absolute() and preloader.is_file():
        return [str(preloader), loader]
    return [loader]


def wine_environment(prefix, bitness):
    """The environment of Wine runs in prefix for a program of that bitness.
    Debian's "wine" prefers the 32-bit loader, which a machine without 32-bit
    support cannot start: a 64-bit program goes straight to the 64-bit loader
    (WINELOADER, which Wine's own programs use as well). A 32-bit program
    keeps the loader the caller's environment names: the 32-bit route's copy
    run through qemu-i386 (see tests/windows/wine32_route.py), else Debian's
    "wine"; its prefix is a 32-bit one."""
    environment = dict(os.environ)
    if bitness == 64:
        environment["WINELOADER"] = shutil.which("wine64") or WINE64_LOADER
        environment.pop("WINELOADERNOEXEC", None)
        environment.pop("WINEARCH", None)
    else:
        environment["WINEARCH"] = "win32"
    environment["WINEPREFIX"] = str(prefix)
    environment["WINEDEBUG"] = "-all"
    # Wine keeps its server's socket folder there instead of in /tmp.
    environment["TMPDIR"] = str(prefix / "tmp")
    # No downloads of Mono or Gecko, no windows.
    environment["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    environment.pop("DISPLAY", None)
    environment.pop("WAYLAND_DISPLAY", None)
    return environment


def add_program_options(parser):
    """The options of a script that runs the program of a build, natively or
    under Wine: --bin-dir, --wine and --wine-prefix."""
    parser.add_argument("--bin-dir", required=True, type=Path)
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--wine-prefix", type=Path)


def program_environment(parser, options):
    """For the options of add_program_options: the environment of the runs,
    and the folder to make their folders in (under Wine the prefix's drive
    C:, natively anywhere: None)."""
    if options.wine and options.wine_prefix is None:
        parser.error("--wine needs --wine-prefix")
    if options.wine:
        environment = wine_environment(options.wine_prefix.resolve(),
                                       pe_bitness(options.bin_dir / "vendralith.exe"))
        temp_parent = options.wine_prefix.resolve() / "drive_c"
    else:
        environment = dict(os.environ)
        temp_parent = None
    environment.pop("RFC_INI", None)
    return environment, temp_parent


def record_windows(case, result, binding):
    expected_file, crlf = expected_file_without_windows(case, binding)
    expected_out = expected_file.read_bytes() if expected_file.exists() else b""
    windows = case / ("stdout.nwrfc.windows" if binding == "nwrfc" else "stdout.windows")
    if matches(expected_out.replace(b"\n", b"\r\n"), result.stdout, binding):
        windows.unlink(missing_ok=True)
    else:
        windows.write_bytes(normalised(result.stdout))


def expected_file_without_windows(case, binding):
    """The stdout file a Windows recording compares with before it writes its own."""
    if binding == "nwrfc" and (case / "stdout.nwrfc").exists():
        return case / "stdout.nwrfc", True
    return case / "stdout", True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin-dir", required=True, type=Path)
    parser.add_argument("--wine", action="store_true",
                        help="run the Windows executable under Wine")
    parser.add_argument("--wine-prefix", type=Path,
                        help="the Wine prefix to run in (default: a new one)")
    parser.add_argument("--rfc-library-dir", type=Path,
                        help="the folders complete/, incomplete/ and unicode/ of the simulated "
                             "library's librfc32.dll (default: BIN_DIR/simrfc-dll)")
    parser.add_argument("--binding", choices=("classic", "nwrfc"), default="classic",
                        help="the RFC library the run goes through: the expectations it is "
                             "compared with and, under --wine, the DLL placed beside the "
                             "executable (the executable of --bin-dir must match)")
    for architecture in ("x86", "x64"):
        parser.add_argument(f"--{architecture}-rfc-library-dir", type=Path,
                            help=f"the same folders of the {architecture} build, for the cases "
                                 f"that place the {architecture} library whatever the executable")
    parser.add_argument("--parallel", type=int, metavar="N",
                        help="run a multi-system case with ,PARALLEL=N added (others skip)")
    parser.add_argument("--record", action="store_true",
                        help="write the expected results from this run")
    parser.add_argument("case", type=Path)
    options = parser.parse_args()
    case = options.case.resolve()
    if (case / "rows").exists() and not options.record:
        return run_rows(case, case_rows(case), str(options.case))
    # The case as the lines name it: with the binding when it is not the classic one.
    label = case.name + ("" if options.binding == "classic" else f" [{options.binding}]")
    if options.parallel:
        label += f" [PARALLEL={options.parallel}]"
        if not multi_system_case(case) or sets_parallel(case):
            print(f"skip {label}: not a multi-system run, or one that sets the keyword itself")
            return SKIPPED
        if options.record:
            print(f"FAIL {label}: a run with --parallel records nothing")
            return 1
    failures = []
    modes = permissions(case)
    if modes and options.wine:
        print(f"skip {label}: file permissions, which Windows does not have")
        return SKIPPED
    placements = rfc_library_placements(case, options.binding)
    if (case / "rfc-library").exists() and not options.wine:
        print(f"skip {label}: where the RFC library lies matters only to the Windows program")
        return SKIPPED
    if (case / "rfc-library").exists() and options.binding != "classic":
        print(f"skip {label}: the case places its libraries itself, once")
        return SKIPPED
    library_dirs = {None: (options.rfc_library_dir or options.bin_dir / "simrfc-dll").resolve(),
                    "x86": options.x86_rfc_library_dir, "x64": options.x64_rfc_library_dir}
    bitness = read_lines(case / "bitness")
    if bitness and options.wine:
        executable_bitness = pe_bitness(options.bin_dir / "vendralith.exe")
        if str(executable_bitness) != bitness[0]:
            print(f"skip {label}: a case of the {bitness[0]}-bit program, "
                  f"this one is {executable_bitness}-bit")
            return SKIPPED
    for variant, _ in placements:
        if variant in ("x86", "x64") and library_dirs[variant] is None:
            print(f"FAIL {label}: places the {variant} library, "
                  f"but --{variant}-rfc-library-dir is not given")
            return 1

    with tempfile.TemporaryDirectory(prefix="vendralith-e2e-") as temp:
        temp = Path(temp)
        grown_case = case_files(case, temp, int(time.time()))
        wine_drives = None
        if options.wine:
            prefix = (options.wine_prefix or temp / "prefix").resolve()
            environment = wine_environment(prefix, pe_bitness(options.bin_dir / "vendralith.exe"))
            prepare_wine_prefix(prefix, environment)
            letters = []
            if (grown_case / "drive").exists():
                letters = [entry.name.lower() for entry in (grown_case / "drive").iterdir()
                           if entry.is_dir()]
            wine_drives = WineDrives(prefix, letters)
            work = wine_drives.roots["c"] / temp.name
            executable_name = "vendralith.exe"
        else:
            environment = dict(os.environ)
            drive = temp / "drive"
            work = temp / "work"
            roots = {"work": work, "drive": drive}
            environment["VENDRALITH_DRIVE_ROOT"] = str(drive)
            executable_name = "vendralith"
            drive.mkdir(parents=True, exist_ok=True)
        work.mkdir(parents=True)
        environment.pop("SIMRFC_LANDSCAPE", None)
        environment.pop("SIMRFC_FIRST_FOLDER", None)
        environment.pop("RFC_INI", None)
        hidden = []

        try:
            if wine_drives:
                for fixture in read_lines(case / "fixtures"):
                    place_ignoring_case(FIXTURES / fixture, work)
                if (grown_case / "work").exists():
                    place_ignoring_case(grown_case / "work", work)
                if (grown_case / "drive").exists():
                    for source in (grown_case / "drive").iterdir():
                        if source.is_dir():
                            place_ignoring_case(source, wine_drives.roots[source.name.lower()])
            else:
                for fixture in read_lines(case / "fixtures"):
                    shutil.copytree(FIXTURES / fixture, work, dirs_exist_ok=True)
                if (grown_case / "work").exists():
                    shutil.copytree(grown_case / "work", work, dirs_exist_ok=True)
                if (grown_case / "drive").exists():
                    shutil.copytree(grown_case / "drive", drive, dirs_exist_ok=True)
            add_landscape_lines(case, work)
            case_environment = {}
            env_lines = read_lines(case / "env")
            if (case / "env.rows").exists():  # a row's, whose values may hold line feeds
                env_lines = ast.literal_eval((case / "env.rows").read_text())
            for line in env_lines:
                key, _, value = line.partition("=")
                case_environment[key] = value
            environment.update(case_environment)

            program = (read_lines(case / "program") or ["vendralith"])[0]
            if options.wine:
                program += "" if program.lower().endswith(".exe") else ".exe"
            executable = temp / "bin" / program
            executable.parent.mkdir()
            shutil.copy2(options.bin_dir / executable_name, executable)
            args = read_lines(case / "args")
            if options.parallel:
                args = with_parallel(args, options.parallel)
            command = [str(executable)] + args
            if options.wine:
                command[:0] = wine_command(environment)
                place_rfc_library(placements, library_dirs,
                                  {"beside": executable.parent, "work": work,
                                   "path": temp / "rfc-path"}, environment)
                missing_dlls = [name for name in read_lines(case / "system-dlls-missing")
                                if name.strip()]
                hidden = hide_system_dlls(missing_dlls, prefix, temp / "system-dlls-aside",
                                          environment)

            def take_snapshot():
                if wine_drives:
                    return {**snapshot({"work": work}), **wine_drives.snapshot(work)}
                return snapshot(roots)

            before = take_snapshot()
            if modes and os.geteuid() == 0:
                temp.chmod(0o755)
                hand_to_nobody(roots, executable.parent)
                command = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}",
                           "--clear-groups", "--"] + command
            places = {"work": work, "drive": None if wine_drives else drive}
            kept = []
            for mode, path in modes:
                top, _, rest = path.partition("/")
                target = places[top] / rest
                kept.append((target, target.stat().st_mode))
                target.chmod(mode)
            try:
                result = subprocess.run(command, cwd=work, env=environment, capture_output=True,
                                        timeout=120)
            finally:
                for target, mode in reversed(kept):
                    target.chmod(mode)
                after = take_snapshot()
        finally:
            restore_system_dlls(hidden)
            if wine_drives:
                wine_drives.clean()
                if options.wine_prefix is None:
                    # The prefix goes with the temporary folder: so does its wineserver.
                    subprocess.run(["wineserver", "-k"], env=environment)

        if sanitizer_report(result.stderr):
            print(f"FAIL {label}\n  sanitizer report; standard error:\n" +
                  result.stderr.decode("latin-1"))
            return 1

        lock_file = lock_file_path()
        if after.get(lock_file, b"") != b"":
            failures.append(f"{lock_file} holds data: {after[lock_file][:80]!r}")
        for files in (before, after):
            files.pop(lock_file, None)

        outputs = {"standard output": result.stdout, "standard error": result.stderr}
        outputs.update((path, content) for path, content in after.items()
                       if before.get(path) != content)
        failures += leaked_passwords(clear_passwords(before) | host_passwords(case_environment),
                                     outputs)

        if options.record and not failures:
            if options.wine:
                record_windows(case, result, options.binding)
            else:
                record(case, result, before, after, options.binding)
            print(f"recorded {label}")
            return 0

        binding = options.binding
        parallel = bool(options.parallel)
        exit_file, _ = expectation_file(case, "exit", binding, False, parallel)
        expected_exit = int((read_lines(exit_file) or ["0"])[0])
        if options.wine:
            # A Windows exit code comes back from Wine as a Linux one: its low 8 bits.
            expected_exit &= 0xFF
        if result.returncode != expected_exit:
            failures.append(f"exit code {result.returncode}, expected {expected_exit}")

        expected_out_file, crlf = expectation_file(case, "stdout", binding, options.wine, parallel)
        expected_out = expected_out_file.read_bytes() if expected_out_file.exists() else b""
        if crlf:
            expected_out = expected_out.replace(b"\n", b"\r\n")
        if not matches(expected_out, result.stdout, binding):
            failures.append("standard output differs:\n" +
                            show_difference(expected_out, result.stdout))

        changes = file_changes(before, after)
        expected_changes = {}
        after_file, _ = expectation_file(case, "after", binding, False, parallel)
        for line in read_lines(after_file):
            if line.strip():
                kind, _, path = line.partition(" ")
                expected_changes[path] = kind
        if changes != expected_changes:
            failures.append(f"file changes {changes}, expected {expected_changes}")
        for path, kind in expected_changes.items():
            expected_file = grown_case / "after-files" / path
            if binding == "nwrfc" and (case / "after-files.nwrfc" / path).exists():
                expected_file = case / "after-files.nwrfc" / path
            if kind != "deleted" and expected_file.exists() and path in after:
                expected_content = expected_file.read_bytes()
                # A text file that the Windows program writes has CR LF line ends.
                if not matches(expected_content, after[path], binding) and not (
                        options.wine and
                        matches(expected_content.replace(b"\n", b"\r\n"), after[path], binding)):
                    failures.append(f"{path} differs:\n" + show_difference(
                        expected_content, after[path]))

    if failures:
        print(f"FAIL {label}")
        for failure in failures:
            print("  " + failure)
        if result.stderr:
            print("standard error:\n" + result.stderr.decode("latin-1"))
        if options.wine and broken_wine_start(result.returncode, result.stdout, result.stderr):
            return NOTHING_PRINTED_UNDER_WINE
        return 1
    print(f"ok {label}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
