#!/usr/bin/env python3
"""Writes the release packages for monitoring hosts (`make dist`).

    make_dist.py --bin-dir build/windows --bin-dir build/windows64 --out-dir build/dist

Each --bin-dir is a Windows build; its programs' bitness (read from their PE
headers) names its package, OUT_DIR/vendralith-VERSION-win32.zip or
-win64.zip. Every package holds one folder vendralith-VERSION/ with the two
Windows programs, INSTALL.txt (a header that names the package and says
which package fits which host, the README's install guide and the parts of
the README it needs, all as plain text with Windows line ends) and examples/
(the example profiles and listing files): the same layout in each. VERSION
is the one the programs carry in their version resource, which the build
writes from the CMake project version.

After writing them, each package's content list is checked against exactly
these entries: anything else, above all an RFC library (librfc32.dll or any
other DLL, which must come from the vendor's installation on the host), fails
the run and the package is removed. Standard library only.
"""

import argparse
import re
import struct
import sys
import textwrap
import time
import zipfile
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))
from windows_version_resource import NotAVersionedProgram, read_version_resource  # noqa: E402

SOURCE = Path(__file__).resolve().parent.parent
PROGRAMS = ["vendralith.exe", "vendralith-profile.exe"]
INSTALL_TEXT = "INSTALL.txt"
EXAMPLE_LISTINGS = ["SAP Kelvaron.Gbl", "Kelvaron.Prf"]
EXAMPLES_FOLDER = "examples"
# What a console window or Notepad shows without wrapping.
LINE_WIDTH = 78
# The bitness of the programs, from the machine field of their PE headers.
MACHINES = {0x14C: 32, 0x8664: 64}

# The README sections INSTALL.txt is made of, each with its subsections: the
# install guide first, then what it refers to.
INSTALL_SECTIONS = [
    "Installing on a monitoring host",
    "Command line",
    "Profiles",
    "Listing files (multi-system runs)",
    "Exit codes",
    "Error messages",
]


def package_name(version, bits):
    return f"vendralith-{version}-win{bits}.zip"


def program_bits(program):
    """32 or 64 for a Windows program of x86 or x64, else None."""
    data = program.read_bytes()[:4096]
    if len(data) < 64 or data[:2] != b"MZ":
        return None
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if data[offset:offset + 4] != b"PE\0\0" or len(data) < offset + 6:
        return None
    return MACHINES.get(struct.unpack_from("<H", data, offset + 4)[0])


def which_package(version, bits):
    """The header's note on the two packages: this one, and which fits."""
    other = 96 - bits
    return (f"This is {package_name(version, bits)}, the {bits}-bit programs. "
            f"The sensor must have the bitness of the RFC library that the "
            f"monitoring host has: take this package for a {bits}-bit "
            f"sapnwrfc.dll or librfc32.dll, and {package_name(version, other)} for a "
            f"{other}-bit one "
            f"(see \"Which package fits\" below).")


def example_files(examples_dir):
    """The example profiles and listing files, not the simulated library's
    landscape or the demo script."""
    return sorted(examples_dir.glob("*.P00")) + [examples_dir / name for name in EXAMPLE_LISTINGS]


def expected_entries(version, example_names):
    top = f"vendralith-{version}/"
    return ([top + name for name in PROGRAMS] + [top + INSTALL_TEXT] +
            [f"{top}{EXAMPLES_FOLDER}/{name}" for name in example_names])


def check_package(package, version, example_names):
    """What is wrong with the content list of the package, as texts."""
    with zipfile.ZipFile(package) as archive:
        names = archive.namelist()
    expected = expected_entries(version, example_names)
    problems = [f"holds {name}: an RFC library or other DLL never goes into the package"
                for name in names if name.lower().endswith(".dll")]
    problems += [f"holds {name}, which does not belong in it"
                 for name in names if name not in expected and not name.lower().endswith(".dll")]
    problems += [f"lacks {name}" for name in expected if name not in names]
    problems += [f"holds {name} more than once" for name in sorted(set(names))
                 if names.count(name) > 1]
    return problems


def _anchor(title):
    """The link target a Markdown renderer gives a heading."""
    return re.sub(r"[^\w\- ]", "", title.lower()).replace(" ", "-")


def _sections(lines):
    """(level, title, first line, end line) of every heading outside code
    blocks; a section ends at the next heading of its level or higher."""
    headings = []
    in_code = False
    for number, line in enumerate(lines):
        if line.startswith("```"):
            in_code = not in_code
        match = None if in_code else re.match(r"(#+) (.*)$", line)
        if match:
            headings.append((len(match.group(1)), match.group(2).strip(), number))
    sections = []
    for index, (level, title, start) in enumerate(headings):
        end = next((later for deeper, _, later in headings[index + 1:] if deeper <= level),
                   len(lines))
        sections.append((level, title, start, end))
    return sections


def _table_text(rows):
    """A Markdown table as plain text: aligned columns when they fit in a
    line, else each row's first cell on a line of its own and the others
    below it, indented (named by their column when there are several)."""
    cells = [[cell.strip() for cell in row.strip().strip("|").split("|")] for row in rows]
    header, body = cells[0], cells[2:]
    widths = [max(len(row[column]) for row in cells if column < len(row))
              for column in range(len(header))]
    if sum(widths) + 2 * len(widths) <= LINE_WIDTH:
        def line(row):
            return "  ".join(cell.ljust(width) for cell, width in zip(row, widths)).rstrip()
        return [line(header), line(["-" * width for width in widths])] + [line(row) for row in body]
    out = []
    for row in body:
        rest = [cell if len(header) == 2 else f"{name}: {cell}"
                for name, cell in zip(header[1:], row[1:])]
        out.append(row[0])
        out += textwrap.wrap(", ".join(rest), LINE_WIDTH, initial_indent="    ",
                             subsequent_indent="    ", break_long_words=False,
                             break_on_hyphens=False)
    return out


def install_text(readme, title, contents, note):
    """INSTALL.txt: a title, a note, the package's contents (name, what it
    is), and the README sections of INSTALL_SECTIONS as plain text with
    Windows line ends."""
    lines = readme.splitlines()
    sections = {section[1]: section for section in _sections(lines)}
    missing = [name for name in INSTALL_SECTIONS if name not in sections]
    if missing:
        raise SystemExit(f"README.md has no section {', '.join(missing)}")
    chosen = [sections[name] for name in INSTALL_SECTIONS]
    included = {_anchor(heading) for _, heading, first, _ in sections.values()
                if any(start <= first < end for _, _, start, end in chosen)}

    def plain(text):
        # A link to a section that is in this text names it; others leave their words.
        def link(match):
            words, target = match.groups()
            return f'"{words}"' if target[1:] in included else words
        text = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", link, text)
        # Code and emphasis marks are Markdown, not text.
        return re.sub(r"`([^`]*)`", r"\1", text).replace("**", "")

    out = [title, "=" * len(title), ""]
    out += textwrap.wrap(note, LINE_WIDTH, break_long_words=False, break_on_hyphens=False)
    out += ["", "It holds:", ""]
    width = max(len(name) for name, _ in contents) + 2
    out += [f"  {name:<{width}}{what}" for name, what in contents]
    out += [""] + textwrap.wrap(
        "The vendor's RFC libraries (sapnwrfc.dll of the NetWeaver RFC SDK with "
        "its DLLs, or the classic librfc32.dll) are not part of this package.",
        LINE_WIDTH, break_long_words=False, break_on_hyphens=False)
    for top_level, _, start, end in chosen:
        in_code = False
        table = []
        for line in lines[start:end] + [""]:
            if line.startswith("|") and not in_code:
                table.append(plain(line))
                continue
            if table:
                out += _table_text(table)
                table = []
            if line.startswith("```"):
                in_code = not in_code
                continue
            heading = None if in_code else re.match(r"(#+) (.*)$", line)
            if heading:
                text = plain(heading.group(2).strip())
                rule = "=" if len(heading.group(1)) == top_level else "-"
                out += ["", "", text, rule * len(text)]
            elif in_code:
                out.append("    " + line if line else "")
            else:
                out.append(plain(line))
    # Two blank lines before a heading, one after it, one between paragraphs.
    text = re.sub(r"\n{4,}", "\n\n\n", "\n".join(out).strip("\n") + "\n")
    # Code that a paragraph breaks over two lines.
    text = re.sub(r"`([^`]*)`", r"\1", text)
    text = re.sub(r"(\n[=-]+\n)\n+", r"\1\n", text)
    return text.replace("\n", "\r\n")


def package(out_dir, version, bits, programs, descriptions, examples, readme):
    """Writes the package of the programs of that bitness: programs and
    examples are paths, descriptions the programs' texts for the contents
    list. Returns its path."""
    top = f"vendralith-{version}"
    contents = [(program.name, descriptions[program.name]) for program in programs]
    contents += [(INSTALL_TEXT, "this text: installing and using the sensor"),
                 (EXAMPLES_FOLDER + "\\", "example profiles and listing files")]
    contents += [("", "  " + example.name) for example in examples]
    text = install_text(readme.read_text(encoding="utf-8"), f"Vendralith {version}", contents,
                        which_package(version, bits))
    out_dir.mkdir(parents=True, exist_ok=True)
    path = out_dir / package_name(version, bits)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for program in programs:
            archive.write(program, f"{top}/{program.name}")
        # Dated like the README it comes from, as the other entries are dated like their files.
        info = zipfile.ZipInfo(f"{top}/{INSTALL_TEXT}",
                               time.localtime(readme.stat().st_mtime)[:6])
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        # Notepad takes a file without a byte-order mark for the ANSI code page.
        archive.writestr(info, text.encode("ascii" if text.isascii() else "utf-8-sig"))
        for example in examples:
            archive.write(example, f"{top}/{EXAMPLES_FOLDER}/{example.name}")
    return path


def build_programs(bin_dir):
    """(bitness, version, programs, descriptions) of one Windows build, or a
    text saying what is wrong with it."""
    programs = [bin_dir / name for name in PROGRAMS]
    versions, bitness, descriptions = set(), set(), {}
    for program in programs:
        try:
            _, _, texts = read_version_resource(program)
        except (OSError, NotAVersionedProgram) as problem:
            return f"{program}: {problem}"
        versions.add(texts.get("ProductVersion"))
        bitness.add(program_bits(program))
        descriptions[program.name] = texts.get("FileDescription", "")
    if len(versions) != 1 or None in versions:
        return f"the programs of {bin_dir} carry different versions: {sorted(map(str, versions))}"
    if len(bitness) != 1 or None in bitness:
        return f"the programs of {bin_dir} are not all 32-bit or all 64-bit"
    return bitness.pop(), versions.pop(), programs, descriptions


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin-dir", required=True, type=Path, action="append",
                        help="the folder of a Windows build; once per build")
    parser.add_argument("--out-dir", required=True, type=Path,
                        help="where the packages go")
    options = parser.parse_args()
    builds = {}
    for bin_dir in options.bin_dir:
        build = build_programs(bin_dir)
        if isinstance(build, str):
            print(build)
            return 1
        if build[0] in builds:
            print(f"two {build[0]}-bit builds given")
            return 1
        builds[build[0]] = build[1:]
    versions = {version for version, _, _ in builds.values()}
    if len(versions) != 1:
        print(f"the builds carry different versions: {sorted(versions)}")
        return 1
    version = versions.pop()
    examples = example_files(SOURCE / "examples")
    status = 0
    for bits, (_, programs, descriptions) in sorted(builds.items()):
        path = package(options.out_dir, version, bits, programs, descriptions, examples,
                       SOURCE / "README.md")
        problems = check_package(path, version, [example.name for example in examples])
        if problems:
            path.unlink()
            for problem in problems:
                print(f"{path}: {problem}")
            status = 1
            continue
        with zipfile.ZipFile(path) as archive:
            for info in archive.infolist():
                print(f"{info.file_size:>10}  {info.filename}")
        print(f"{path}: the package holds exactly the programs, {INSTALL_TEXT} and the examples")
    return status


if __name__ == "__main__":
    sys.exit(main())
