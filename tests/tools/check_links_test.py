#!/usr/bin/env python3
"""Tests tools/check_links.py on small Markdown trees: each case writes its
files to a fresh folder (never into the repository, whose own check would
then fail on them), checks one file and compares the problems reported."""

import subprocess
import sys
import tempfile
from pathlib import Path

sys.dont_write_bytecode = True
SOURCE = Path(__file__).resolve().parent.parent.parent
sys.path.insert(0, str(SOURCE / "tools"))
import check_links  # noqa: E402

failures = []

GUIDE = "# Guide\n\n## Command line\n\n### The run's deadline: `,TIMEOUT=`\n"

# (files of the tree, the file checked, texts the problems must hold in
# order; [] where every link resolves)
CASES = [
    # a link to another file and to a heading there
    ({"README.md": "See [the guide](docs/guide.md) and [it](docs/guide.md#command-line).\n",
      "docs/guide.md": GUIDE}, "README.md", []),
    # a link back up, to a heading of the same file, and to a folder
    ({"docs/guide.md": GUIDE + "\n[Up](../README.md), [here](#command-line), [docs](../docs/)\n",
      "README.md": "# R\n"}, "docs/guide.md", []),
    # a missing file
    ({"README.md": "See [the guide](docs/gide.md).\n"}, "README.md",
     ["README.md:1: docs/gide.md: no file docs/gide.md"]),
    # a missing heading, in another file and in the same one
    ({"README.md": "# R\n\n[a](docs/guide.md#commandline)\n[b](#r-1)\n", "docs/guide.md": GUIDE},
     "README.md", ["README.md:3: docs/guide.md#commandline: no heading #commandline in guide.md",
                   "README.md:4: #r-1: no heading #r-1 in README.md"]),
    # a heading with punctuation and code: dropped marks, blanks as -
    ({"README.md": "[a](docs/guide.md#the-runs-deadline-timeout)\n", "docs/guide.md": GUIDE},
     "README.md", []),
    # the same heading written as its title reads is no anchor
    ({"README.md": "[a](docs/guide.md#the-run's-deadline-,timeout=)\n", "docs/guide.md": GUIDE},
     "README.md", ["no heading #the-run's-deadline-,timeout= in guide.md"]),
    # a heading with a link in it: its words count
    ({"README.md": "## See [simrfc](simrfc.md) too\n\n[a](#see-simrfc-too)\n", "simrfc.md": ""},
     "README.md", []),
    # duplicate headings: -1, -2 for the later ones, and no -3
    ({"README.md": "## Notes\n## Notes\n## Notes\n\n[a](#notes) [b](#notes-1) [c](#notes-2)"
                   " [d](#notes-3)\n"}, "README.md", ["README.md:5: #notes-3: no heading"]),
    # a name taken by a heading already moves the duplicate on
    ({"README.md": "## A 1\n## A\n## A\n\n[a](#a-1) [b](#a-2)\n"}, "README.md", []),
    # links and headings inside code are neither links nor headings
    ({"README.md": "```\n[a](missing.md)\n# GSNG: X\n```\n\nIt is `[b](missing.md)`.\n\n"
                   "[c](#gsng-x)\n"}, "README.md", ["README.md:8: #gsng-x: no heading"]),
    # a fence of four backticks holds one of three
    ({"README.md": "````\n```\n[a](missing.md)\n```\n````\n"}, "README.md", []),
    # a link whose words run over two lines names the line of its target
    ({"README.md": "See [the\nguide](nothing.md).\n"}, "README.md",
     ["README.md:2: nothing.md: no file"]),
    # web links are not checked
    ({"README.md": "[a](https://example.com/x#y) [b](mailto:dev@example.com)\n"}, "README.md", []),
    # a heading in a file that is not Markdown cannot be linked
    ({"README.md": "[a](Makefile#test)\n", "Makefile": "test:\n"}, "README.md",
     ["Makefile is not Markdown"]),
]

with tempfile.TemporaryDirectory() as temporary:
    for number, (files, checked, wanted) in enumerate(CASES):
        root = Path(temporary) / str(number)
        for name, text in files.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text, encoding="utf-8")
        (root / "docs").mkdir(exist_ok=True)
        found = [problem.replace(f"{root}/", "") for problem in check_links.problems(root / checked)]
        ok = len(found) == len(wanted) and all(text in problem for text, problem in zip(wanted, found))
        if not ok:
            failures.append(f"case {number} ({checked}): got {found}, wanted {wanted}")

    # Without arguments: every Markdown file git knows or would add, none of
    # an ignored build folder.
    root = Path(temporary) / "repository"
    (root / "build").mkdir(parents=True)
    (root / "docs").mkdir()
    for name in ("README.md", "docs/guide.md", "build/notes.md"):
        (root / name).write_text("# x\n", encoding="utf-8")
    (root / ".gitignore").write_text("/build/\n", encoding="utf-8")
    try:
        subprocess.run(["git", "init", "-q", str(root)], check=True)
        listed = [path.relative_to(root).as_posix() for path in check_links.markdown_files(root)]
        if listed != ["README.md", "docs/guide.md"]:
            failures.append(f"the repository's Markdown files: {listed}")
    except (OSError, subprocess.CalledProcessError) as problem:
        failures.append(f"git init: {problem}")

for failure in failures:
    print("FAIL", failure)
print(f"{'ok' if not failures else 'FAILED'}: check_links")
sys.exit(1 if failures else 0)
