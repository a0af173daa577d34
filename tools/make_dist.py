#!/usr/bin/env python3
"""Writes the release packages for monitoring hosts (`make dist`).

    make_dist.py --bin-dir build/windows --bin-dir build/windows64 --out-dir build/dist

Each --bin-dir is a Windows build; its programs' bitness (read from their PE
headers) names its package, OUT_DIR/vendralith-VERSION-win32.zip or
-win64.zip. Every package holds one folder vendralith-VERSION/ with the two
Windows programs, INSTALL.txt (a header that names the package and says
which package fits which host, then the install guide docs/install-guide.md),
USER-GUIDE.txt (the user's guide docs/user-guide.md), both as plain text with
Windows line ends, and examples/ (the example profiles and listing files):
the same layout in each. VERSION is the one the programs carry in their
version resource, which the build writes from the CMake project version.

A guide that cannot be made into plain text fails the run before any package
is written: a missing guide, a section the package refers to missing, a link
to a heading that is not there, or Markdown the converter does not know
(HTML, images, block quotes, reference links, emphasis but **bold**, a rule,
a code span or block left open, a table row of another width).

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
import check_links  # noqa: E402
from windows_version_resource import NotAVersionedProgram, read_version_resource  # noqa: E402

SOURCE = Path(__file__).resolve().parent.parent
GUIDES_FOLDER = SOURCE / "docs"
PROGRAMS = ["vendralith.exe", "vendralith-profile.exe"]
INSTALL_TEXT = "INSTALL.txt"
USER_TEXT = "USER-GUIDE.txt"
# The package's texts, each made from a guide of GUIDES_FOLDER, with what
# the contents list says of it.
GUIDES = {
    INSTALL_TEXT: ("install-guide.md", "this text: installing the sensor"),
    USER_TEXT: ("user-guide.md", "using it: command line, profiles, errors"),
}
# The sections each text must hold: INSTALL.txt's header refers to "Which
# package fits", the contents list to what USER-GUIDE.txt holds, and an
# admin on a host without a browser needs the rest.
REQUIRED_SECTIONS = {
    INSTALL_TEXT: ["The release packages", "Which package fits", "The two RFC libraries",
                   "Installing on a monitoring host", "Protecting the profiles",
                   "Credentials without a stored password"],
    USER_TEXT: ["Command line", "Profiles", "Listing files (multi-system runs)", "Exit codes",
                "Error messages", "Diagnosing a failing sensor"],
}
EXAMPLE_LISTINGS = ["SAP Kelvaron.Gbl", "Kelvaron.Prf"]
EXAMPLES_FOLDER = "examples"
# What a console window or Notepad shows without wrapping.
LINE_WIDTH = 78
# The bitness of the programs, from the machine field of their PE headers.
MACHINES = {0x14C: 32, 0x8664: 64}


class GuideError(Exception):
    """A guide that cannot be made into the package's plain text."""


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
    return ([top + name for name in PROGRAMS] + [top + name for name in GUIDES] +
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


# Markdown the converter does not know, in the text outside code: it
# would show its marks, or lose what they mean.
UNKNOWN_MARKDOWN = [
    (re.compile(r"</?[A-Za-z!][^>]*>"), "HTML"),
    (re.compile(r"!\["), "an image"),
    (re.compile(r"^ {0,3}>", re.M), "a block quote"),
    (re.compile(r"\]\[|^ {0,3}\[[^\]]+\]:", re.M), "a reference link"),
    (re.compile(r"^ {0,3}([-*_=])( *\1){2,} *$", re.M), "a rule or an underlined heading"),
    (re.compile(r"\*|~~|(?<!\w)_|_(?!\w)"), "emphasis other than **bold**"),
    (re.compile(r"`"), "a code span that does not close"),
    (re.compile(r"\]\("), "a link the converter cannot read"),
]
# **bold**, on one line or over several of one paragraph.
BOLD = re.compile(r"\*\*(?=\S)((?:(?!\n[ \t]*\n).)+?)(?<=\S)\*\*", re.S)


def _line_of(text, position):
    return text.count("\n", 0, position) + 1


def _code_filled(markdown):
    """The text outside code blocks with each code span filled with x, so
    that **bold** around code is found, and no mark inside code."""
    return check_links.CODE_SPAN.sub(lambda span: re.sub(r"[^\n]", "x", span.group(0)),
                                     check_links.without_code_blocks(markdown))


def _unknown_markdown(markdown, name):
    """Raises GuideError at the first mark outside code, links and **bold**
    that the converter does not know."""
    # Links are known, images (links with a ! before them) are not.
    text = check_links.LINK.sub(
        lambda link: link.group(0) if link.group(0).startswith("!") else
        check_links.blank(link.group(0)), _code_filled(markdown))
    text = BOLD.sub(lambda bold: "  " + bold.group(1) + "  ", text)
    for pattern, what in UNKNOWN_MARKDOWN:
        found = pattern.search(text)
        if found:
            raise GuideError(f"{name}:{_line_of(markdown, found.start())}: {what}: "
                             f"the text converter does not know it")


def _replace(text, edits):
    """The text with each (start, end, new text) edit made; edits must not overlap."""
    for start, end, replacement in sorted(edits, reverse=True):
        text = text[:start] + replacement + text[end:]
    return text


# Stands for a blank inside code until the text is wrapped: code is never
# broken over two lines, so that a command can be copied as it stands.
KEEP_BLANK = "\0"


def _code_text(code):
    """A code span as text: unbreakable, and in quotes where a blank at
    either end would not show."""
    code = re.sub(r"[ \t]*\n[ \t]*", " ", code)
    if code != code.strip():
        code = f'"{code}"'
    return code.replace(" ", KEEP_BLANK)


def _plain_marks(markdown, name, shipped, anchors):
    """The guide with the marks of links, code spans and emphasis taken out
    of its text outside code blocks: a link to a heading of the same guide
    names it in quotes, one to another text of the package says which text,
    others keep their words."""
    _unknown_markdown(markdown, name)
    edits = []
    for link in check_links.LINK.finditer(check_links.outside_code(markdown)):
        words = markdown[link.start(1):link.end(1)]
        target = link.group(2)
        file_part, _, anchor = target.partition("#")
        guide = file_part or name
        if check_links.SCHEME.match(target):
            words = f"{words} ({target})"
        elif guide in shipped and anchor and anchor not in anchors[guide]:
            raise GuideError(f"{name}:{_line_of(markdown, link.start())}: {target}: "
                             f"no heading #{anchor} in {guide}")
        elif guide == name and anchor:
            words = f'"{words}"'
        elif guide in shipped and anchor:
            words = f'"{words}" in {shipped[guide]}'
        elif guide in shipped:
            words = f"{words} ({shipped[guide]})"
        edits.append((link.start(), link.end(), words))
    markdown = _replace(markdown, edits)
    # Bold may hold code, and code may hold stars: both are found before either goes.
    edits = [(span.start(), span.end(), _code_text(span.group(2))) for span in
             check_links.CODE_SPAN.finditer(check_links.without_code_blocks(markdown))]
    for bold in BOLD.finditer(_code_filled(markdown)):
        edits += [(bold.start(), bold.start() + 2, ""), (bold.end() - 2, bold.end(), "")]
    return _replace(markdown, edits)


def _table_text(rows, where):
    """A Markdown table as plain text: aligned columns when they fit in a
    line, else each row's first cell on a line of its own and the others
    below it, indented (named by their column when there are several)."""
    cells = [[cell.strip() for cell in row.strip().strip("|").split("|")] for row in rows]
    header, body = cells[0], cells[2:]
    if any(len(row) != len(header) for row in cells) or \
            not all(re.fullmatch(r":?-+:?", cell) for cell in cells[1]):
        raise GuideError(f"{where}: a table whose rows are not all as wide as its header, "
                         f"or without its line of dashes")
    widths = [max(len(row[column]) for row in [header] + body) for column in range(len(header))]
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


def missing_sections(markdown, required):
    """The titles of required that are no heading of the guide."""
    titles = [title for _, title, _ in check_links.headings(markdown)]
    return [title for title in required if title not in titles]


def guide_lines(markdown, name, shipped, anchors):
    """A guide as lines of plain text, without its title: each section's
    heading underlined (= for the top sections, - below them), tables as
    text, code blocks indented. shipped names the package's text of each
    guide in it, anchors the headings of each. Raises GuideError for what
    it cannot convert."""
    if not markdown.startswith("# "):
        raise GuideError(f"{name}: the first line is not the guide's title")
    if check_links.prose_lines(markdown + "\n")[-1] is None:
        raise GuideError(f"{name}: a code block that does not close")
    plain = _plain_marks(markdown, name, shipped, anchors).split("\n")
    in_code = [line is None for line in check_links.prose_lines("\n".join(plain))]
    top = min(level for level, _, _ in check_links.headings(markdown)[1:])
    out = []
    table = []
    paragraph = []
    # The title is the package's; the text starts after it.
    for number, (line, code) in enumerate(zip(plain[1:], in_code[1:]), 2):
        if code or not line.strip() or LIST_ITEM.match(line) or line.startswith("|") or \
                check_links.HEADING.match(line):
            out += _paragraph(paragraph)
            paragraph = []
        if line.startswith("|") and not code:
            table.append(line)
            continue
        if table:
            out += _table_text(table, f"{name}:{number - len(table)}")
            table = []
        heading = None if code else check_links.HEADING.match(line)
        if code:
            if not check_links.FENCE.match(line):
                out.append("    " + line if line else "")
        elif heading:
            text = heading.group(2).strip()
            rule = "=" if len(heading.group(1)) == top else "-"
            out += ["", "", text, rule * len(text)]
        elif line.strip():
            paragraph.append(line)
        else:
            out.append("")
    if table:
        out += _table_text(table, f"{name}:{len(plain) - len(table) + 1}")
    return out + _paragraph(paragraph)


# The first line of a list item: its indent and its mark.
LIST_ITEM = re.compile(r"^( *)(- |\d+\. )")


def _paragraph(lines):
    """A paragraph or list item wrapped anew: the Markdown's lines are cut
    where its marks were, so their ends no longer fall where they should."""
    if not lines:
        return []
    start = LIST_ITEM.match(lines[0]) or re.match(r"( *)()", lines[0])
    first = start.group(1) + start.group(2)
    rest = " " * len(first) if start.group(2) else start.group(1)
    text = " ".join(line.strip() for line in [lines[0][len(first):]] + lines[1:])
    return textwrap.wrap(text, LINE_WIDTH, initial_indent=first, subsequent_indent=rest,
                         break_long_words=False, break_on_hyphens=False)


def _text_file(lines):
    """Lines as the package's text: two blank lines before a heading, one
    after it, one between paragraphs, Windows line ends."""
    text = "\n".join(lines).replace(KEEP_BLANK, " ")
    text = re.sub(r"\n{4,}", "\n\n\n", text.strip("\n") + "\n")
    text = re.sub(r"(\n[=-]+\n)\n+", r"\1\n", text)
    return text.replace("\n", "\r\n")


def guide_texts(guides_folder, version, bits, contents):
    """{name: text} of the package's texts, made from the guides in
    guides_folder. Raises GuideError when a guide cannot be made into text."""
    shipped = {guide: text for text, (guide, _) in GUIDES.items()}
    markdown = {}
    for guide in shipped:
        try:
            markdown[guide] = (guides_folder / guide).read_text(encoding="utf-8")
        except (OSError, UnicodeError) as problem:
            raise GuideError(f"{guides_folder / guide} cannot be read: {problem}") from problem
    for text_name, (guide, _) in GUIDES.items():
        missing = missing_sections(markdown[guide], REQUIRED_SECTIONS[text_name])
        if missing:
            raise GuideError(f"{guide} has no section {', '.join(missing)}")
    anchors = {guide: set(check_links.anchors(text)) for guide, text in markdown.items()}
    texts = {}
    for text_name, (guide, _) in GUIDES.items():
        lines = guide_lines(markdown[guide], guide, shipped, anchors)
        if text_name == INSTALL_TEXT:
            title = f"Vendralith {version}"
            header = _paragraph([which_package(version, bits)]) + ["", "It holds:", ""]
            width = max(len(name) for name, _ in contents) + 2
            header += [f"  {name:<{width}}{what}" for name, what in contents]
            header += [""] + _paragraph([
                "The vendor's RFC libraries (sapnwrfc.dll of the NetWeaver RFC SDK with "
                "its DLLs, or the classic librfc32.dll) are not part of this package."])
        else:
            title = f"{markdown[guide].split(chr(10))[0][2:].strip()}, version {version}"
            header = []
        texts[text_name] = _text_file([title, "=" * len(title), ""] + header + [""] + lines)
    return texts


def package(out_dir, version, bits, programs, descriptions, examples, guides_folder=None):
    """Writes the package of the programs of that bitness: programs and
    examples are paths, descriptions the programs' texts for the contents
    list. Returns its path. Raises GuideError, before writing anything, when
    a guide cannot be made into text."""
    guides_folder = guides_folder or GUIDES_FOLDER
    top = f"vendralith-{version}"
    contents = [(program.name, descriptions[program.name]) for program in programs]
    contents += [(name, what) for name, (_, what) in GUIDES.items()]
    contents += [(EXAMPLES_FOLDER + "\\", "example profiles and listing files")]
    contents += [("", "  " + example.name) for example in examples]
    texts = guide_texts(guides_folder, version, bits, contents)
    out_dir.mkdir(parents=True, exist_ok=True)
    path = out_dir / package_name(version, bits)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for program in programs:
            archive.write(program, f"{top}/{program.name}")
        for name, text in texts.items():
            # Dated like the guide it comes from, as the other entries are dated like their files.
            guide = guides_folder / GUIDES[name][0]
            info = zipfile.ZipInfo(f"{top}/{name}", time.localtime(guide.stat().st_mtime)[:6])
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
        try:
            path = package(options.out_dir, version, bits, programs, descriptions, examples)
        except GuideError as problem:
            print(f"the guides cannot be made into the package's text: {problem}")
            return 1
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
        print(f"{path}: the package holds exactly the programs, "
              f"{' and '.join(GUIDES)} and the examples")
    return status


if __name__ == "__main__":
    sys.exit(main())
