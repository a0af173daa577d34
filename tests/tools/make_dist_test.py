#!/usr/bin/env python3
"""Tests the release package of tools/make_dist.py without a Windows build:
the content check refuses every entry but the expected ones (an RFC library
above all), INSTALL.txt is the README's install part with Windows line ends,
and a package written from stand-in programs passes the check."""

import re
import sys
import tempfile
import warnings
import zipfile
from pathlib import Path

sys.dont_write_bytecode = True
SOURCE = Path(__file__).resolve().parent.parent.parent
sys.path.insert(0, str(SOURCE / "tools"))
import make_dist  # noqa: E402

failures = []
# A package with an entry twice is one of the cases.
warnings.filterwarnings("ignore", "Duplicate name", UserWarning)


def expect(what, condition):
    if not condition:
        failures.append(what)


VERSION = "9.8"
EXAMPLES = make_dist.example_files(SOURCE / "examples")
EXAMPLE_NAMES = [example.name for example in EXAMPLES]
EXPECTED = make_dist.expected_entries(VERSION, EXAMPLE_NAMES)
TOP = f"vendralith-{VERSION}/"

with tempfile.TemporaryDirectory() as folder:
    folder = Path(folder)

    # The content check: entries of a package, and a text the check must
    # report (None: the package is right).
    for entries, problem in [
        (EXPECTED, None),                                           # exactly the expected entries
        (EXPECTED + [TOP + "librfc32.dll"], "librfc32.dll"),        # the RFC library beside the sensor
        (EXPECTED + [TOP + "examples/LIBRFC32.DLL"], "LIBRFC32.DLL"),  # in another case and folder
        (EXPECTED + [TOP + "simrfc/librfc32u.dll"], "librfc32u.dll"),  # the Unicode library
        (EXPECTED + [TOP + "libstdc++-6.dll"], "libstdc++-6.dll"),  # any other DLL
        (EXPECTED + [TOP + "examples/Landscape.ini"], "Landscape.ini"),  # the simulation's landscape
        (EXPECTED + [TOP + "examples/demo.sh"], "demo.sh"),        # the demo script
        ([name.replace(TOP, "vendralith-1.0/") for name in EXPECTED], "lacks"),  # another version
        ([name for name in EXPECTED if not name.endswith("/vendralith.exe")],
         "lacks " + TOP + "vendralith.exe"),                        # the sensor missing
        (EXPECTED + [EXPECTED[0]], "more than once"),               # an entry twice
    ]:
        path = folder / "check.zip"
        with zipfile.ZipFile(path, "w") as archive:
            for name in entries:
                archive.writestr(name, b"x")
        problems = make_dist.check_package(path, VERSION, EXAMPLE_NAMES)
        if problem is None:
            expect(f"a right package is refused: {problems}", not problems)
        else:
            expect(f"{problem}: not reported, got {problems}",
                   any(problem in text for text in problems))

    # A package from stand-in programs and the real README and examples.
    bin_dir = folder / "bin"
    bin_dir.mkdir()
    programs = []
    for name in make_dist.PROGRAMS:
        (bin_dir / name).write_bytes(b"MZ stand-in for " + name.encode())
        programs.append(bin_dir / name)
    descriptions = {name: f"what {name} is" for name in make_dist.PROGRAMS}
    # Both packages: the same layout, each INSTALL.txt naming its own zip
    # and the other one for the other bitness.
    layouts = {}
    for bits, other in ((64, 32), (32, 64)):
        path = make_dist.package(folder / "dist", VERSION, bits, programs, descriptions, EXAMPLES,
                                 SOURCE / "README.md")
        expect(f"package name {path.name}", path.name == f"vendralith-{VERSION}-win{bits}.zip")
        expect(f"the written {bits}-bit package fails its check",
               not make_dist.check_package(path, VERSION, EXAMPLE_NAMES))
        with zipfile.ZipFile(path) as archive:
            layouts[bits] = archive.namelist()
            own = archive.read(TOP + make_dist.INSTALL_TEXT).decode("utf-8-sig")
        heading = " ".join(own.split("It holds:")[0].split())
        expect(f"the {bits}-bit INSTALL.txt names its zip first: {heading!r}",
               f"This is vendralith-{VERSION}-win{bits}.zip, the {bits}-bit programs." in heading)
        expect(f"the {bits}-bit INSTALL.txt says which zip fits: {heading!r}",
               f"for a {bits}-bit sapnwrfc.dll or librfc32.dll, and "
               f"vendralith-{VERSION}-win{other}.zip "
               f"for a {other}-bit one" in heading)
    expect(f"the packages differ in layout: {layouts}", layouts[32] == layouts[64])

    with zipfile.ZipFile(path) as archive:
        expect("programs stored as they are",
               all(archive.read(TOP + program.name) == program.read_bytes()
                   for program in programs))
        expect("examples stored as they are",
               all(archive.read(f"{TOP}examples/{example.name}") == example.read_bytes()
                   for example in EXAMPLES))
        install = archive.read(TOP + make_dist.INSTALL_TEXT)

    text = install.decode("utf-8-sig")
    expect("INSTALL.txt: a line end without a carriage return",
           text.count("\n") == text.count("\r\n") and text.endswith("\r\n"))
    lines = text.split("\r\n")
    title = f"Vendralith {VERSION}"
    expect(f"INSTALL.txt title: {lines[:2]}", lines[:2] == [title, "=" * len(title)])
    expect("INSTALL.txt lists the programs with their descriptions",
           all(re.search(rf"\n  {re.escape(name)} +what {re.escape(name)} is\r", text)
               for name in make_dist.PROGRAMS))
    expect("INSTALL.txt says neither RFC library is in the package",
           "The vendor's RFC libraries (sapnwrfc.dll of the NetWeaver RFC SDK with its DLLs, "
           "or the classic librfc32.dll) are not part of this package." in " ".join(text.split()))
    # Every section underlined, the install guide first, in the order given.
    places = [lines.index(title) if title in lines else -1 for title in make_dist.INSTALL_SECTIONS]
    expect(f"INSTALL.txt sections missing or out of order: {places}",
           -1 not in places and places == sorted(places))
    expect("INSTALL.txt sections underlined",
           all(lines[place + 1] == "=" * len(title)
               for place, title in zip(places, make_dist.INSTALL_SECTIONS) if place >= 0))
    expect("INSTALL.txt holds Markdown code marks, emphasis or section links",
           "`" not in text and "**" not in text and "](#" not in text)
    expect("INSTALL.txt holds the developers' part of the README",
           "## " not in text and "make " not in text and "Fuzzing" not in text)
    expect("INSTALL.txt: a link to a section in it names the section",
           '(see\r\n   "Where the profile is looked for").' in text)
    expect("INSTALL.txt: an error message and what to do",
           "Error 1008: Parameter-String too long !\r\n    The parameters are longer" in text)

# The bitness of a program, from the machine field of its PE header.
for machine, bits in ((0x14C, 32), (0x8664, 64), (0xAA64, None)):
    header = bytearray(0x100)
    header[:2] = b"MZ"
    header[0x3C:0x40] = (0x80).to_bytes(4, "little")
    header[0x80:0x86] = b"PE\0\0" + machine.to_bytes(2, "little")
    with tempfile.TemporaryDirectory() as folder:
        program = Path(folder) / "vendralith.exe"
        program.write_bytes(bytes(header))
        expect(f"machine {machine:#x}: bitness {make_dist.program_bits(program)}",
               make_dist.program_bits(program) == bits)


for failure in failures:
    print("FAIL", failure)
print(f"{'ok' if not failures else 'FAILED'}: make_dist")
sys.exit(1 if failures else 0)
