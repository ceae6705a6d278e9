#!/usr/bin/env python3
"""Fails when a folder of the tree that a build target has on its include path could hide a
header of the system: a file there named as a system header (sys/random.h, string), or a folder
named as one of the system's header folders (sys/, linux/), where the next header added would.

    check_include_roots.py SOURCE_DIR COMPILE_COMMANDS   checks the build's include paths
    check_include_roots.py --self-test                   checks that the check catches faults

The system's headers are those in the compiler's own search list and in every folder outside
the tree that a target puts on its path (-I or -isystem, as pkg-config's flags do). An installed
copy of the platform's headers (weeapp/ in /usr/local/include, say) is ours, not the system's:
the tree's copy is meant to come first."""

import json
import os
import subprocess
import sys
import tempfile

# The folders our include roots hold that are installed, and may so be found among the
# system's headers too.
OWN_FOLDERS = {"weeapp"}
SKIPPED_FOLDERS = {".git"}


def include_folders(entry):
    """The folders an entry of compile_commands.json puts on the include path."""
    words = entry.get("arguments") or entry["command"].split()
    folders = []
    for index, word in enumerate(words):
        if word in ("-I", "-isystem", "-iquote", "-idirafter") and index + 1 < len(words):
            folders.append(words[index + 1])
        elif word.startswith("-I") and len(word) > 2:
            folders.append(word[2:])
        elif word.startswith("-isystem") and len(word) > len("-isystem"):
            folders.append(word[len("-isystem"):])
    directory = entry.get("directory", ".")
    return [os.path.realpath(os.path.join(directory, folder)) for folder in folders]


def compiler_folders(compiler, language):
    """The folders the compiler searches for <...> headers of itself."""
    try:
        result = subprocess.run([compiler, "-x", language, "-E", "-v", os.devnull], capture_output=True, text=True)
    except OSError:
        return []
    folders, listing = [], False
    for line in result.stderr.splitlines():
        if line.startswith("#include <...> search starts here"):
            listing = True
        elif line.startswith("End of search list"):
            listing = False
        elif listing:
            folders.append(os.path.realpath(line.strip()))
    return folders


def is_inside(path, folder):
    return path == folder or path.startswith(folder + os.sep)


def check(root, commands_file):
    root = os.path.realpath(root)
    with open(commands_file, encoding="utf-8") as commands:
        entries = json.load(commands)
    ours, system = set(), set()
    compilers = set()
    for entry in entries:
        words = entry.get("arguments") or entry["command"].split()
        language = "c" if entry["file"].endswith(".c") else "c++"
        compilers.add((words[0], language))
        for folder in include_folders(entry):
            (ours if is_inside(folder, root) else system).add(folder)
    for compiler, language in sorted(compilers):
        system.update(compiler_folders(compiler, language))
    system = sorted(folder for folder in system if os.path.isdir(folder))

    problems = []
    for folder in sorted(ours):
        if not os.path.isdir(folder):
            continue
        shown = os.path.relpath(folder, root)
        for name in sorted(os.listdir(folder)):
            if name in OWN_FOLDERS or not os.path.isdir(os.path.join(folder, name)):
                continue
            clashes = [other for other in system if os.path.isdir(os.path.join(other, name))]
            if clashes:
                problems.append(f"{shown}/{name}/ is on the include path where the system has {clashes[0]}/{name}/: "
                                f"move it under a folder of our own")
        for directory, subfolders, files in os.walk(folder):
            subfolders[:] = sorted(d for d in subfolders if d not in SKIPPED_FOLDERS)
            for name in sorted(files):
                relative = os.path.relpath(os.path.join(directory, name), folder)
                if relative.split(os.sep)[0] in OWN_FOLDERS:
                    continue
                hidden = [other for other in system if os.path.isfile(os.path.join(other, relative))]
                if hidden:
                    problems.append(f"{shown}/{relative} hides the system's <{relative}> ({hidden[0]}/{relative})")
    return problems


def write(root, relative, text=""):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as file:
        file.write(text)


def self_test():
    """A tree with the ways a folder of ours can stand in the system's way, and the ways it
    must not be blamed for, against a made-up system folder."""
    with tempfile.TemporaryDirectory() as scratch:
        root, system = os.path.join(scratch, "tree"), os.path.join(scratch, "usr", "include")
        for header in ("sys/random.h", "sys/stat.h", "string", "png.h", "weeapp/sys/value.h"):
            write(system, header)
        write(root, "old_platform/sys/value.h")
        write(root, "old_platform/ui/view.h")
        write(root, "platform/weeapp/sys/value.h")
        write(root, "platform/weeapp/sys/random.h")
        write(root, "widget/string")
        write(root, "widget/pictures/png.h")
        write(root, "host/render/png.h")
        write(root, "loose/sys/random.h")
        folders = ["old_platform", "platform", "widget", "host", os.path.join(scratch, "usr/include")]
        entries = [{"directory": root, "file": os.path.join(root, "a.cpp"),
                    "arguments": ["/nonexistent/c++", "-I" + folders[0], "-I", folders[1], "-I", folders[2], "-isystem", folders[4],
                                  "-c", "a.cpp"]},
                   {"directory": root, "file": os.path.join(root, "b.cpp"), "command": "/nonexistent/c++ -Ihost -Iloose -c b.cpp"}]
        write(scratch, "compile_commands.json", json.dumps(entries))
        found = set(check(root, os.path.join(scratch, "compile_commands.json")))
        # old_platform/sys/value.h hides nothing itself, but its folder stands in the system's way;
        # weeapp/ is ours even where an install put it among the system's headers.
        expected = {"old_platform/sys/", "widget/string", "loose/sys/", "loose/sys/random.h"}
        reported = {problem.split(" ", 1)[0] for problem in found}
        if reported != expected:
            print("the include-root check missed or invented faults:")
            for missing in sorted(expected - reported):
                print("  not caught:", missing)
            for invented in sorted(reported - expected):
                print("  wrongly reported:", invented)
            return 1
    print(f"the include-root check catches all {len(expected)} hidden system headers of its test tree")
    return 0


def main(arguments):
    if arguments == ["--self-test"]:
        return self_test()
    if len(arguments) != 2:
        print(__doc__)
        return 2
    problems = check(arguments[0], arguments[1])
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print("no folder on an include path hides a system header")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
