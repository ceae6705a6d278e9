#!/usr/bin/env python3
"""Checks the README, ARCHITECTURE.md and the guide in docs/ against the tree and the programs:

- every relative link leads to a file or folder that exists, and a link to a heading (#name) to a
  heading of that page;
- with BIN_DIR, every line of a ```sh block that runs one of our programs (build/bin/NAME or
  kavrin-NAME), and every synopsis (a plain block that starts with one), names only options that
  the program's --help lists.

A file named with --pending (one another branch brings) may be missing while links lead to it;
once it is there, it is checked like the others.

    check_docs.py SOURCE_DIR [BIN_DIR] [--pending FILE]...
    check_docs.py --self-test"""

import glob
import os
import re
import subprocess
import sys
import tempfile

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
OPTION = re.compile(r"(?<![\w-])(--[a-z][a-z-]*)")


def pages(source):
    found = [os.path.join(source, name) for name in ("README.md", "ARCHITECTURE.md")]
    found += sorted(glob.glob(os.path.join(source, "docs", "*.md")))
    return [page for page in found if os.path.exists(page)]


def prose(text):
    """The page without its fenced code blocks and inline code, where a link is no link."""
    text = re.sub(r"^```.*?^```", "", text, flags=re.S | re.M)
    return re.sub(r"`[^`\n]*`", "", text)


def anchor(heading):
    """The name a heading is reached by: lower case, punctuation dropped, spaces as hyphens."""
    return re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", "-")


def anchors(path):
    text = re.sub(r"^```.*?^```", "", open(path, encoding="utf-8").read(), flags=re.S | re.M)
    return {anchor(line.lstrip("#")) for line in text.splitlines() if line.startswith("#")}


def broken_links(page, pending=()):
    problems = []
    for target in LINK.findall(prose(open(page, encoding="utf-8").read())):
        if re.match(r"^[a-z]+:", target):
            continue
        path, _, name = target.partition("#")
        resolved = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
        if not os.path.exists(resolved):
            if resolved in pending:
                continue
            problems.append("%s: the link %s leads to no file" % (page, target))
        elif name and resolved.endswith(".md") and name not in anchors(resolved):
            problems.append("%s: the link %s leads to no heading of %s" % (page, target, os.path.basename(resolved)))
    return problems


def commands(page):
    """(program, text) for every line of a ```sh block that runs one of our programs, and for
    every plain block that starts with one (a synopsis, whole)."""
    program = re.compile(r"^(?:build/bin/)?(kavrin-[a-z-]+)(?:\s|$)")
    text = open(page, encoding="utf-8").read()
    for language, body in re.findall(r"^```([^\n]*)\n(.*?)^```", text, flags=re.S | re.M):
        lines = body.splitlines()
        if language.strip() == "sh":
            for line in lines:
                match = program.match(line)
                if match:
                    yield match.group(1), line
        elif language.strip() == "" and lines and program.match(lines[0]):
            yield program.match(lines[0]).group(1), " ".join(lines)


def options_of(line):
    """The options a command line names: not in its comment, nor in a quoted script."""
    command = line.split("   #", 1)[0]
    command = re.sub(r"\$?'(?:[^'\\]|\\.)*'", "", command).split("|", 1)[0]
    return OPTION.findall(command)


def unknown_options(page, bin_dir, helps):
    problems = []
    for program, line in commands(page):
        if program not in helps:
            path = os.path.join(bin_dir, program)
            if not os.path.exists(path):
                problems.append("%s: %s is no program of ours (in: %s)" % (page, program, line))
                continue
            helps[program] = subprocess.run([path, "--help"], capture_output=True, text=True).stdout
        known = set(OPTION.findall(helps.get(program, "")))
        problems += ["%s: %s has no option %s (in: %s)" % (page, program, option, line)
                     for option in options_of(line) if option not in known]
    return problems


def check(source, bin_dir=None, pending=()):
    problems = []
    helps = {}
    pending = {os.path.normpath(os.path.join(source, name)) for name in pending}
    for page in pages(source):
        problems += broken_links(page, pending)
        if bin_dir:
            problems += unknown_options(page, bin_dir, helps)
    return problems


def self_test():
    """A broken link, a link to a missing heading and an unknown option are each found once;
    links in code, outside links and good ones are not."""
    with tempfile.TemporaryDirectory() as folder:
        os.makedirs(os.path.join(folder, "docs"))
        os.makedirs(os.path.join(folder, "bin"))
        with open(os.path.join(folder, "README.md"), "w") as f:
            f.write("# Top\n[guide](docs/a.md) [gone](docs/gone.md) [web](https://example.org/x)\n"
                    "`[code](nowhere.md)` [a heading](docs/a.md#what-the-host-will-run) [later](LATER.md) [no heading](docs/a.md#nothing)\n")
        with open(os.path.join(folder, "docs", "a.md"), "w") as f:
            f.write("# A\n## What the host will run\n[back](../README.md#top)\n"
                    "```sh\nkavrin-tool --good x   # --commented\nbuild/bin/kavrin-tool --bad --script - <<< $'--quoted'\n```\n"
                    "```\nkavrin-tool [--good] [--script FILE]\n            [--unlisted]\n```\n"
                    "```\nnot ours --ignored\n```\n")
        tool = os.path.join(folder, "bin", "kavrin-tool")
        with open(tool, "w") as f:
            f.write("#!/bin/sh\necho 'Options: --good --script --help'\n")
        os.chmod(tool, 0o755)
        problems = check(folder, os.path.join(folder, "bin"), ["LATER.md"])
        expected = ["docs/gone.md leads to no file", "docs/a.md#nothing leads to no heading", "has no option --bad",
                    "has no option --unlisted"]
        for text in expected:
            if sum(text in problem for problem in problems) != 1:
                print("self-test: expected one problem with %r, found: %s" % (text, problems))
                return 1
        if len(problems) != len(expected):
            print("self-test: unexpected problems: %s" % problems)
            return 1
    return 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    arguments, pending = sys.argv[1:], []
    while "--pending" in arguments:
        at = arguments.index("--pending")
        pending.append(arguments[at + 1])
        del arguments[at:at + 2]
    problems = check(arguments[0], arguments[1] if len(arguments) > 1 else None, pending)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
