#!/usr/bin/env python3
"""Runs Qt 6's qmllint on the device finder's QML with the QML module ZVR.ViewModel of
a Qt 6 build, and fails when a type of the library is unknown to it: the module not
imported, or a warning that names one of its types as not found, not resolved or
accessed unqualified. Warnings about the tool's own types (registered at run time) and
Qt's are listed as a count only.

    scripts/check-qmllint.py [BUILD_DIR]     default build/qt6
"""
import pathlib
import re
import subprocess
import sys

root = pathlib.Path(__file__).resolve().parent.parent
build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else root / "build/qt6").resolve()
imports = build / "qml"
qmltypes = imports / "ZVR/ViewModel/zvrviewmodelqml.qmltypes"
if not qmltypes.exists():
    sys.exit(f"check-qmllint: no type information at {qmltypes}; build the Qt 6 tree first")
qmllint = next((p for p in ("/usr/lib/qt6/bin/qmllint", "/usr/lib/qt6/libexec/qmllint")
                if pathlib.Path(p).exists()), "qmllint")

# The module's own type names, as the type information exports them.
types = set(re.findall(r'"ZVR\.ViewModel/(\w+) [\d.]+"', qmltypes.read_text(encoding="utf-8")))
if "DeviceData" not in types:
    sys.exit(f"check-qmllint: {qmltypes} exports no DeviceData")
named = re.compile(r"\b(" + "|".join(sorted(types)) + r")\b")
unresolved = re.compile(r"not found|not resolved|[Uu]nknown|No type found|Failed to import")

files = sorted(str(p) for p in (root / "apps/devicefinder/qml").glob("*.qml"))
run = subprocess.run([qmllint, "-I", str(imports), *files], capture_output=True, text=True, timeout=120)
lines = (run.stdout + run.stderr).splitlines()

problems = []
warnings = 0
for i, line in enumerate(lines):
    if not line.startswith(("Warning:", "Error:")):
        continue
    warnings += 1
    if "ZVR.ViewModel" in line and "Failed to import" in line:
        problems.append(line)
        continue
    # qmllint shows the source line and a caret under what it means.
    source = lines[i + 1] if i + 1 < len(lines) else ""
    caret = lines[i + 2] if i + 2 < len(lines) else ""
    start = caret.find("^")
    subject = source[start:start + caret.count("^")] if start >= 0 else ""
    if unresolved.search(line) and named.search(line):
        problems.append(line)
    elif "Unqualified access" in line and subject in types:
        problems.append(f"{line}: {subject}")

for problem in problems:
    print(f"check-qmllint: {problem}")
if problems:
    sys.exit(f"check-qmllint: {len(problems)} warnings about the library's types")
print(f"check-qmllint: every type of ZVR.ViewModel known ({len(types)} types; "
      f"{warnings} other warnings about the tool's own or Qt's types)")
