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
from help_examples_test import prepare, report, run_example  # noqa: E402

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
                    count += 1
                    example = line.replace("BACKUP", "backup").replace("ROOT", "new-root")
                    page_name = os.path.relpath(page, source)
                    printed, failure = run_example(example, folder, environment, page_name, timeout=300)
                    if failure:
                        failures.append("%s: %s" % (page_name, failure))
                    elif output is not None and not matches(printed.rstrip("\n").split("\n"), output):
                        failures.append("%s: %s printed\n%s\nthe page says\n%s" % (page_name, example, printed, "\n".join(output)))
    return report(failures, count)


if __name__ == "__main__":
    sys.exit(main())
