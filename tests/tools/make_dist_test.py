#!/usr/bin/env python3
"""Tests the release package of tools/make_dist.py without a Windows build:
the content check refuses every entry but the expected ones (an RFC library
above all), INSTALL.txt is the install guide and USER-GUIDE.txt the user's
guide as plain text with Windows line ends, a guide that cannot be made into
text fails the run without a package, and a package written from stand-in
programs passes the check."""

import contextlib
import io
import re
import sys
import tempfile
import warnings
import zipfile
from pathlib import Path

sys.dont_write_bytecode = True
SOURCE = Path(__file__).resolve().parent.parent.parent
sys.path.insert(0, str(SOURCE / "tools"))
import check_links  # noqa: E402
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

    # A package from stand-in programs and the real guides and examples.
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
        path = make_dist.package(folder / "dist", VERSION, bits, programs, descriptions, EXAMPLES)
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
        user = archive.read(TOP + make_dist.USER_TEXT)

    texts = {name: data.decode("utf-8-sig") for name, data in
             ((make_dist.INSTALL_TEXT, install), (make_dist.USER_TEXT, user))}
    for name, text in texts.items():
        expect(f"{name}: a line end without a carriage return",
               text.count("\n") == text.count("\r\n") and text.endswith("\r\n"))
        lines = text.split("\r\n")
        # Every section the package needs, underlined, in the guide's order.
        titles = make_dist.REQUIRED_SECTIONS[name]
        places = [lines.index(title) if title in lines else -1 for title in titles]
        expect(f"{name} sections missing or out of order: {places}",
               -1 not in places and places == sorted(places))
        expect(f"{name} sections underlined",
               all(lines[place + 1] in ("=" * len(title), "-" * len(title))
                   for place, title in zip(places, titles) if place >= 0))
        # (Four stars begin a trace block.)
        expect(f"{name} holds Markdown code marks, emphasis or links",
               "`" not in text and not re.search(r"(?<!\*)\*\*(?!\*)", text) and "](" not in text)
        expect(f"{name} holds the developers' part of the guides",
               "## " not in text and "make test" not in text and "Fuzzing" not in text)

    text = texts[make_dist.INSTALL_TEXT]
    lines = text.split("\r\n")
    title = f"Vendralith {VERSION}"
    expect(f"INSTALL.txt title: {lines[:2]}", lines[:2] == [title, "=" * len(title)])
    expect("INSTALL.txt lists the programs with their descriptions",
           all(re.search(rf"\n  {re.escape(name)} +what {re.escape(name)} is\r", text)
               for name in make_dist.PROGRAMS))
    expect("INSTALL.txt lists the user's guide",
           re.search(r"\n  USER-GUIDE\.txt +using it", text))
    words = " ".join(text.split())
    expect("INSTALL.txt says neither RFC library is in the package",
           "The vendor's RFC libraries (sapnwrfc.dll of the NetWeaver RFC SDK with its DLLs, "
           "or the classic librfc32.dll) are not part of this package." in words)
    expect("INSTALL.txt: a link to a section in it names the section",
           '(see "Which package fits")' in words)
    expect("INSTALL.txt: a link to the user's guide names the section and the text",
           '(see "Where the profile is looked for" in USER-GUIDE.txt)' in words)
    expect("INSTALL.txt: a command kept on one line to be copied",
           'icacls "C:\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\EXEXML\\PRD.P00"'
           ' /inheritance:r' in text)

    text = texts[make_dist.USER_TEXT]
    lines = text.split("\r\n")
    title = f"Vendralith user's guide, version {VERSION}"
    expect(f"USER-GUIDE.txt title: {lines[:2]}", lines[:2] == [title, "=" * len(title)])
    expect("USER-GUIDE.txt: an error message and what to do",
           "Error 1008: Parameter-String too long !\r\n    The parameters are longer" in text)
    expect("USER-GUIDE.txt: a code block indented",
           "\r\n    vendralith PROFILE [PARAMETERS [MORE-PARAMETERS]]\r\n" in text)
    expect("USER-GUIDE.txt: a link to the install guide names the text",
           '"Which package fits" in INSTALL.txt' in " ".join(text.split()))

    # A guide that cannot be made into text: make dist fails and writes no
    # package. Each case changes one of the real guides; the text the
    # failure must name.
    real = {name: (make_dist.GUIDES_FOLDER / name).read_text(encoding="utf-8")
            for name in ("install-guide.md", "user-guide.md")}
    broken_cases = [
        ("install-guide.md", None, "cannot be read"),                       # the guide missing
        ("user-guide.md", lambda text: text.replace("## Error messages", "## Errors"),
         "no section Error messages"),                                      # a section the package needs
        ("install-guide.md", lambda text: text.replace("## Which", "## Choosing", 1),
         "no section Which package fits"),                                  # the header refers to it
        ("user-guide.md", lambda text: text + "\n<details>more</details>\n", "HTML"),
        ("user-guide.md", lambda text: text + "\n![diagram](flow.png)\n", "an image"),
        ("user-guide.md", lambda text: text + "\n> Note: quoted\n", "a block quote"),
        ("user-guide.md", lambda text: text + "\nSee [the SDK][sdk].\n\n[sdk]: https://x\n",
         "a reference link"),
        ("user-guide.md", lambda text: text + "\nAn *emphasised* word.\n", "emphasis"),
        ("user-guide.md", lambda text: text + "\nA _marked_ word.\n", "emphasis"),
        ("user-guide.md", lambda text: text + "\n---\n", "a rule"),
        ("user-guide.md", lambda text: text + "\nA `code span left open.\n", "does not close"),
        ("install-guide.md", lambda text: text + "\n```sh\nmake dist\n", "a code block that does not close"),
        ("install-guide.md", lambda text: text + "\nSee [here](#no-such-heading).\n",
         "no heading #no-such-heading"),
        ("install-guide.md", lambda text: text + "\nSee [there](user-guide.md#gone).\n",
         "no heading #gone in user-guide.md"),
        ("user-guide.md", lambda text: text + "\n| a | b |\n|---|---|\n| 1 | 2 | 3 |\n",
         "a table whose rows"),
        ("user-guide.md", lambda text: "Vendralith\n" + text, "first line is not the guide's title"),
    ]
    build = make_dist.build_programs
    guides = make_dist.GUIDES_FOLDER
    argv = sys.argv
    try:
        make_dist.build_programs = lambda bin_dir: (64, VERSION, programs, descriptions)
        for number, (guide, change, problem) in enumerate(broken_cases):
            broken = folder / "broken"
            broken.mkdir(exist_ok=True)
            for name, text in real.items():
                (broken / name).unlink(missing_ok=True)
                if name != guide or change is not None:
                    (broken / name).write_text(change(text) if name == guide else text,
                                               encoding="utf-8")
            out_dir = folder / f"broken-dist-{number}"
            make_dist.GUIDES_FOLDER = broken
            sys.argv = ["make_dist.py", "--bin-dir", str(bin_dir), "--out-dir", str(out_dir)]
            output = io.StringIO()
            with contextlib.redirect_stdout(output):
                status = make_dist.main()
            expect(f"{guide}, {problem}: make dist did not fail ({status})", status == 1)
            expect(f"{guide}, {problem}: not named in {output.getvalue()!r}",
                   problem in output.getvalue())
            expect(f"{guide}, {problem}: a package was written",
                   not list(out_dir.glob("*.zip")) if out_dir.exists() else True)
        # The real guides through the same way: the run passes.
        make_dist.GUIDES_FOLDER = guides
        sys.argv = ["make_dist.py", "--bin-dir", str(bin_dir), "--out-dir", str(folder / "ok")]
        with contextlib.redirect_stdout(io.StringIO()) as output:
            status = make_dist.main()
        expect(f"make dist with the real guides failed: {output.getvalue()}", status == 0)
    finally:
        make_dist.build_programs = build
        make_dist.GUIDES_FOLDER = guides
        sys.argv = argv

# What the converter makes of Markdown: a guide's text, and lines its plain
# text must hold (None: it must be refused).
SHIPPED = {"install-guide.md": "INSTALL.txt", "user-guide.md": "USER-GUIDE.txt"}
for markdown, wanted in [
    # a link to a heading of the same guide: its words in quotes
    ("# T\n\n## One\n\nSee [One](#one).\n", ['See "One".']),
    # to a heading of the other text: and which text
    ("# T\n\n## One\n\nSee [Two](install-guide.md#two).\n", ['See "Two" in INSTALL.txt.']),
    # to a file the package does not hold: its words
    ("# T\n\n## One\n\nSee [the README](../README.md#x).\n", ["See the README."]),
    # a heading with code and punctuation, and a link to it
    ("# T\n\n## The run's deadline: `,TIMEOUT=`\n\n[It](#the-runs-deadline-timeout)\n",
     ["The run's deadline: ,TIMEOUT=", "=" * 29, '"It"']),
    # code with a blank at an end, in quotes; bold around code; stars in code
    ("# T\n\n## One\n\n**Use `x`**, then ` - note` and `**** ERROR`.\n",
     ['Use x, then " - note" and **** ERROR.']),
    # a paragraph wrapped anew, a code span never broken
    ("# T\n\n## One\n\n" + "word " * 14 + "`a command with blanks in it`\n",
     [("word " * 14).strip(), "a command with blanks in it"]),
    # a list item's lines indented under its text
    ("# T\n\n## One\n\n1. " + "word " * 20 + "\n", ["1. " + ("word " * 15).strip(),
                                                     "   " + ("word " * 5).strip()]),
    # a code block indented, a heading in it no heading
    ("# T\n\n## One\n\n```\n# GSNG: X\n```\n", ["    # GSNG: X"]),
    # a table that fits: aligned columns
    ("# T\n\n## One\n\n| A | B |\n|---|---|\n| `x` | y |\n", ["A  B", "-  -", "x  y"]),
    # a section below the top ones underlined with -
    ("# T\n\n## One\n\n### Two\n", ["One", "===", "Two", "---"]),
    # HTML in code is code
    ("# T\n\n## One\n\nIt prints `<Prtg>`.\n", ["It prints <Prtg>."]),
]:
    try:
        lines = make_dist.guide_lines(markdown, "user-guide.md", SHIPPED,
                                      {"user-guide.md": set(check_links.anchors(markdown)),
                                       "install-guide.md": {"two"}})
        lines = [line.replace(make_dist.KEEP_BLANK, " ") for line in lines]
    except make_dist.GuideError as problem:
        lines = [f"refused: {problem}"]
    expect(f"{markdown!r}: {lines} lacks {wanted}", all(line in lines for line in wanted))
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
