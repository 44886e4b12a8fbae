#!/usr/bin/env python3
"""Doxygen input filter: puts a "Properties" table (name, type, change signal, whether
QML may write it) into the description of every class that declares Q_PROPERTY lines,
so that the reference lists what a QML user binds to. The header is passed through
otherwise unchanged."""
import re
import sys

PROPERTY = re.compile(r"Q_PROPERTY\((.*)\)\s*$")
CLASS = re.compile(r"^class\s+(?:\w+_EXPORT\s+)?(\w+)\b[^;]*$")


def describe(declaration):
    words = declaration.replace("*", " * ").split()
    keys = ("READ", "WRITE", "NOTIFY", "MEMBER", "RESET", "CONSTANT", "FINAL", "BINDABLE", "STORED")
    first_key = next(i for i, word in enumerate(words) if word in keys)
    name = words[first_key - 1]
    type_ = " ".join(words[: first_key - 1]).replace(" *", "*")
    attrs = dict(zip(words[first_key:], words[first_key + 1 :]))
    writable = "WRITE" in words or "MEMBER" in words
    notify = attrs.get("NOTIFY")
    signal = f"{notify}()" if notify else ("constant" if "CONSTANT" in words else "none")
    return f" *  | `{name}` | `{type_}` | {signal} | {'yes' if writable else 'no'} |"


def main():
    lines = open(sys.argv[1], encoding="utf-8").read().split("\n")
    # A class's properties follow its declaration line; find them first.
    tables = {}
    current = None
    for number, line in enumerate(lines):
        found = CLASS.match(line)
        if found:
            current = number
            continue
        prop = PROPERTY.search(line.strip())
        if prop and current is not None:
            tables.setdefault(current, []).append(describe(prop.group(1)))
    out = []
    for number, line in enumerate(lines):
        if number in tables:
            # Doxygen joins it to the class's own comment above.
            out += ["/*! \\par Properties", " *  | Property | Type | Change signal | Writable from QML |",
                    " *  |---|---|---|---|"] + tables[number] + [" */"]
        out.append(line)
    sys.stdout.write("\n".join(out))


main()
