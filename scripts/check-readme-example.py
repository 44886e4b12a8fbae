#!/usr/bin/env python3
"""Checks that README.md quotes the example's code as it is: every fenced block right
after a line `<!-- quoted from FILE -->` must equal FILE, and after
`<!-- quoted from FILE [NAME] -->` the lines between the two `//! [NAME]` markers of
FILE, with their common indentation taken off."""
import pathlib
import re
import sys
import textwrap

root = pathlib.Path(__file__).resolve().parent.parent
readme = (root / "README.md").read_text(encoding="utf-8")
marker = re.compile(r"<!-- quoted from (\S+)(?: \[(\w+)\])? -->\n```\w*\n(.*?)```\n", re.S)

quotes = marker.findall(readme)
if not quotes:
    sys.exit("check-readme-example: README.md quotes no example code")
failed = False
for path, name, quoted in quotes:
    text = (root / path).read_text(encoding="utf-8")
    if name:
        parts = text.split(f"//! [{name}]\n")
        if len(parts) != 3:
            sys.exit(f"check-readme-example: {path} has no single snippet [{name}]")
        # The closing marker's own indentation ends the snippet.
        expected = textwrap.dedent(parts[1].rstrip(" "))
    else:
        expected = text
    if quoted != expected:
        failed = True
        print(f"check-readme-example: README.md's quote of {path} {name} differs from the file:")
        for number, (a, b) in enumerate(zip(quoted.splitlines(), expected.splitlines()), 1):
            if a != b:
                print(f"  line {number}: README {a!r}\n           file   {b!r}")
                break
        else:
            print(f"  README {len(quoted.splitlines())} lines, file {len(expected.splitlines())} lines")
if failed:
    sys.exit(1)
print(f"check-readme-example: {len(quotes)} quotes of the example match")
