#!/usr/bin/env python3
"""Checks the relative links of the repository's Markdown files (`make lint`).

    check_links.py [FILE.md ...]

Without arguments it reads every Markdown file of the repository that git
knows or would add (build folders and other ignored files left out). Every
link [words](TARGET) outside code must name an existing file or folder,
relative to the linking file, and a TARGET#ANCHOR an existing heading of that
file, as GitHub names its headings: lower case, punctuation other than `-`
and `_` dropped, each blank a `-`, a repeated name followed by -1, -2, ...
Links with a scheme (https:, mailto:) are left alone. Prints each broken link
as FILE:LINE: what is wrong, and exits with 1 when there is one.
Standard library only; tools/make_dist.py reads headings with it too.
"""

import re
import subprocess
import sys
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent

# A fence opens a code block and the same fence closes it.
FENCE = re.compile(r"^ *(```+|~~~+)")
HEADING = re.compile(r"^ {0,3}(#{1,6})[ \t]+(.*?)(?:[ \t]+#+)?[ \t]*$")
# A code span on one line or over several of one paragraph.
CODE_SPAN = re.compile(r"(`+)(?!`)((?:(?!\n[ \t]*\n).)*?[^`])\1(?!`)", re.S)
# [words](target) or ![words](target), the words possibly over several lines
# and holding brackets of their own; an optional "title" after the target.
LINK = re.compile(r"!?\[((?:[^\[\]]|\[[^\]]*\])*)\]\(\s*<?([^\s<>()]*)>?(?:\s+\"[^\"]*\")?\s*\)")
SCHEME = re.compile(r"^[a-zA-Z][a-zA-Z0-9+.-]*:")


def prose_lines(text):
    """The lines of a Markdown text, each line of a fenced code block (its
    fences included) None."""
    lines = []
    fence = None
    for line in text.split("\n"):
        opened = FENCE.match(line)
        if fence is None:
            fence = opened.group(1) if opened else None
            lines.append(None if opened else line)
        else:
            # A closing fence is at least as long as the opening one, alone on its line.
            if opened and opened.group(1).startswith(fence) and \
                    not line.strip().strip(fence[0]):
                fence = None
            lines.append(None)
    return lines


def blank(text):
    """Blanks: the same length, line ends kept."""
    return re.sub(r"[^\n]", " ", text)


def without_code_blocks(text):
    """The text with its code blocks blanked out: every other character
    stays where it was."""
    return "\n".join(blank(raw) if line is None else line
                     for line, raw in zip(prose_lines(text), text.split("\n")))


def outside_code(text):
    """The text with code blocks and code spans blanked out: every other
    character stays where it was."""
    return CODE_SPAN.sub(lambda span: blank(span.group(0)), without_code_blocks(text))


def headings(text):
    """(level, title, line index) of every heading outside code blocks."""
    found = []
    for number, line in enumerate(prose_lines(text)):
        match = HEADING.match(line) if line is not None else None
        if match:
            found.append((len(match.group(1)), match.group(2).strip(), number))
    return found


def slug(title):
    """A heading's name as a link target, before duplicates are counted: its
    text without the marks of code and links, in lower case, without
    punctuation but `-` and `_`, each blank a `-`."""
    words = LINK.sub(lambda link: link.group(1), title)
    return re.sub(r"[^\w\- ]", "", words.lower()).replace(" ", "-")


def anchors(text):
    """Every link target the headings of a Markdown text give, in order: a
    name that is taken already gets -1, -2, ... as on GitHub."""
    seen = {}
    result = []
    for _, title, _ in headings(text):
        base = name = slug(title)
        while name in seen:
            seen[base] += 1
            name = f"{base}-{seen[base]}"
        seen[name] = 0
        result.append(name)
    return result


def links(text):
    """(line number from 1, target) of every link outside code."""
    plain = outside_code(text)
    return [(plain.count("\n", 0, link.start(2)) + 1, link.group(2))
            for link in LINK.finditer(plain)]


def problems(path, read=lambda path: path.read_text(encoding="utf-8")):
    """What is wrong with the links of one Markdown file, as texts."""
    found = []
    for number, target in links(read(path)):
        if not target or SCHEME.match(target):
            continue
        file_part, _, anchor = target.partition("#")
        linked = (path.parent / file_part).resolve() if file_part else path.resolve()
        where = f"{path}:{number}: {target}"
        if not linked.exists():
            found.append(f"{where}: no file {file_part}")
        elif anchor and linked.is_dir():
            found.append(f"{where}: {file_part} is a folder, it has no heading")
        elif anchor and linked.suffix.lower() != ".md":
            found.append(f"{where}: {file_part} is not Markdown, it has no heading")
        elif anchor and anchor not in anchors(read(linked)):
            found.append(f"{where}: no heading #{anchor} in {linked.name}")
    return found


def markdown_files(root):
    """The repository's Markdown files: those git tracks or would add."""
    try:
        listed = subprocess.run(
            ["git", "-C", str(root), "ls-files", "--cached", "--others", "--exclude-standard",
             "-z", "--", "*.md"], check=True, capture_output=True).stdout
    except (OSError, subprocess.CalledProcessError):
        # Not a git checkout: every Markdown file outside the build folders.
        return sorted(path for path in root.rglob("*.md")
                      if not {"build", ".git"} & set(path.relative_to(root).parts))
    return sorted(root / name for name in listed.decode().split("\0") if name)


def main(arguments):
    files = [Path(name) for name in arguments] or markdown_files(SOURCE)
    found = [problem for path in files for problem in problems(path)]
    for problem in found:
        print(problem)
    print(f"{'links: ' + str(len(found)) + ' broken' if found else 'links: all resolve'}"
          f" ({len(files)} Markdown files)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
