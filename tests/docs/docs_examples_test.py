#!/usr/bin/env python3
"""Runs the examples of the README and the guide in docs/ as a user would from a checkout (the
folder that help_examples_test.py prepares, fresh for each ```sh block): every line of a block
that runs one of our programs (build/bin/NAME or kavrin-NAME) must end with status 0. A line that
says what it prints ("# prints: TEXT") must print that; a block of output right after a block of
one command must be what it prints, where "…" stands for lines left out. BACKUP and ROOT stand for
a backup of the demo phone and a new folder. The window, the live host, the build's own scripts
and the install are left to their own tests.

    docs_examples_test.py BIN_DIR BUILD_DIR SOURCE_DIR"""

import glob
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from help_examples_test import prepare  # noqa: E402

OURS = re.compile(r"^(?:build/bin/)?kavrin-[a-z-]+\s")
NOT_HERE = ("--window", "--live")


def blocks(page):
    """(language, lines) of every fenced block of the page, in order."""
    found, inside, lines = [], None, []
    for line in open(page, encoding="utf-8").read().splitlines():
        if line.startswith("```"):
            if inside is None:
                inside, lines = line[3:].strip(), []
            else:
                found.append((inside, lines))
                inside = None
        elif inside is not None:
            lines.append(line)
    return found


def examples(page):
    """(commands, output or None) for each ```sh block of the page with a command of ours."""
    found = blocks(page)
    for index, (language, lines) in enumerate(found):
        commands = [line for line in lines if OURS.match(line) and not any(word in line for word in NOT_HERE)]
        if language != "sh" or not commands:
            continue
        following = found[index + 1] if index + 1 < len(found) else None
        output = following[1] if following and following[0] == "" and len(lines) == 1 else None
        yield commands, output


def matches(printed, expected):
    """Whether the printed lines are the expected ones, each "…" line standing for any lines."""
    pattern = "\n".join(".*" if "…" in line else re.escape(line) for line in expected)
    return re.fullmatch(pattern, "\n".join(printed), flags=re.S) is not None


def main():
    bin_dir, build_dir, source = sys.argv[1:4]
    pages = [os.path.join(source, "README.md")] + sorted(glob.glob(os.path.join(source, "docs", "*.md")))
    failures, count = [], 0
    for page in pages:
        for commands, output in examples(page):
            with tempfile.TemporaryDirectory(prefix="kavrin-docs-") as folder:
                environment = prepare(folder, bin_dir, build_dir)
                for line in commands:
                    command, _, comment = line.partition("   #")
                    command = command.replace("BACKUP", "backup").replace("ROOT", "new-root")
                    count += 1
                    result = subprocess.run(["bash", "-c", command], cwd=folder, env=environment, stdin=subprocess.DEVNULL,
                                            capture_output=True, text=True, timeout=300)
                    where = "%s: %s" % (os.path.relpath(page, source), command)
                    expected = comment.strip()[len("# prints:"):].strip() if comment.strip().startswith("# prints:") else None
                    if result.returncode != 0:
                        failures.append("%s: status %d: %s" % (where, result.returncode, result.stderr.strip()))
                    elif expected is not None and result.stdout.strip() != expected:
                        failures.append("%s: printed %r, the page says %r" % (where, result.stdout.strip(), expected))
                    elif output is not None and not matches(result.stdout.rstrip("\n").split("\n"), output):
                        failures.append("%s: printed\n%s\nthe page says\n%s" % (where, result.stdout, "\n".join(output)))
    for failure in failures:
        print("FAIL:", failure)
    print("%d examples, %d failures" % (count, len(failures)))
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
