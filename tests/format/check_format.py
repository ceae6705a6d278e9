#!/usr/bin/env python3
"""Fails when a C or C++ file of the tree is not formatted as the tree's .clang-format says, and
names each such file.

    check_format.py SOURCE_DIR [CLANG_FORMAT]"""

import os
import subprocess
import sys

SUFFIXES = (".c", ".cpp", ".h")
SKIPPED = {".git", "build", "build-sanitize", "build-fuzz", "demo-phone", "out"}


def sources(root):
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(d for d in subfolders if d not in SKIPPED and not d.startswith("build"))
        for name in sorted(files):
            if name.endswith(SUFFIXES):
                yield os.path.join(folder, name)


def main():
    root = sys.argv[1]
    clang_format = sys.argv[2] if len(sys.argv) > 2 else "clang-format"
    files = list(sources(root))
    unformatted = []
    for start in range(0, len(files), 50):
        batch = files[start:start + 50]
        result = subprocess.run([clang_format, "--dry-run", "-Werror", "--style=file"] + batch, capture_output=True, text=True)
        if result.returncode != 0:
            unformatted += sorted({line.split(":", 1)[0] for line in result.stderr.splitlines() if ": error:" in line})
    for name in unformatted:
        print("not formatted: %s (clang-format -i %s)" % (os.path.relpath(name, root), os.path.relpath(name, root)))
    print("%d files, %d not formatted" % (len(files), len(unformatted)))
    return 1 if unformatted else 0


if __name__ == "__main__":
    sys.exit(main())
