#!/usr/bin/env python3
"""Runs every example that the programs' --help and their man pages' EXAMPLES show, as a user
would from a checkout: in a folder with a demo phone (also as "phone"), the build beside it and a
commands.txt. Each must end with status 0, and one that says what it prints ("# prints: TEXT")
must print that. The window's examples need a display and are left to the window's own tests.
The folder holds a backup of the demo phone too ("backup"), written by python's own sqlite3 and
plistlib (import_backup/make_backup.py), for kavrin-import-backup's examples.

    help_examples_test.py BIN_DIR BUILD_DIR MAN_SOURCES_DIR"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "import_backup"))
import make_backup  # noqa: E402

PROGRAMS = ["kavrin-host", "kavrin-prefs", "kavrin-demo-phone", "kavrin-import-backup"]


def examples(bin_dir, program):
    text = subprocess.run([os.path.join(bin_dir, program), "--help"], capture_output=True, text=True, check=True).stdout
    lines = text.split("Examples:\n", 1)[1].splitlines() if "Examples:\n" in text else []
    return [line.strip() for line in lines if line.startswith("  " + program)]


def man_examples(man_dir, program):
    """The commands of the EXAMPLES section of the page's source, as roff writes them."""
    path = os.path.join(man_dir, program + ".h2m")
    if not os.path.exists(path):
        return []
    section = open(path).read().split("[EXAMPLES]", 1)[-1].split("\n[", 1)[0]
    return [line[3:].replace("\\-", "-").replace("\\e", "\\").replace("\\\\", "\\") for line in section.splitlines() if line.startswith(".B ")]


def main():
    bin_dir, build_dir, man_dir = sys.argv[1], sys.argv[2], sys.argv[3]
    failures = []
    count = 0
    with tempfile.TemporaryDirectory(prefix="kavrin-examples-") as folder:
        subprocess.run([os.path.join(bin_dir, "kavrin-demo-phone"), os.path.join(folder, "demo-phone")], capture_output=True, check=True)
        make_backup.make_backup(os.path.join(folder, "demo-phone"), os.path.join(folder, "backup"))
        os.symlink(build_dir, os.path.join(folder, "build"))
        os.symlink("demo-phone", os.path.join(folder, "phone"))
        with open(os.path.join(folder, "commands.txt"), "w") as commands:
            commands.write("view\nheight\ntap 44 44\n")
        environment = dict(os.environ, KAVRIN_DEMO_PHONE=os.path.join(folder, "demo-phone"), PATH=bin_dir + os.pathsep + os.environ["PATH"])
        for program in PROGRAMS:
            for example in examples(bin_dir, program) + man_examples(man_dir, program):
                if "--window" in example:
                    continue
                command, _, comment = example.partition("   #")
                count += 1
                result = subprocess.run(["bash", "-c", command], cwd=folder, env=environment, stdin=subprocess.DEVNULL,
                                        capture_output=True, text=True, timeout=120)
                expected = comment.strip()[len("# prints:"):].strip() if comment.strip().startswith("# prints:") else None
                if result.returncode != 0:
                    failures.append("%s: status %d: %s" % (command, result.returncode, result.stderr.strip()))
                elif expected is not None and result.stdout.strip() != expected:
                    failures.append("%s: printed %r, the help says %r" % (command, result.stdout.strip(), expected))
    for failure in failures:
        print("FAIL:", failure)
    print("%d examples, %d failures" % (count, len(failures)))
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
