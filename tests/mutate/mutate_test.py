#!/usr/bin/env python3
"""scripts/mutate on a toy: a mutant that the toy's test kills, ones it lets live, one that does
not compile; the log, the resumed run, the report, a rerun of the survivors and the checkout
left as it was.

    mutate_test.py MUTATE_SCRIPT"""

import json
import os
import shutil
import subprocess
import sys
import tempfile

TOY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "toy")


def run(command, expect):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != expect:
        sys.exit(f"{' '.join(command)} ended with {result.returncode}, not {expect}:\n{result.stdout}\n{result.stderr}")
    return result.stdout


def check(condition, message, output=""):
    if not condition:
        sys.exit(f"mutate_test: {message}\n{output}")


def main():
    mutate = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "toy")
        shutil.copytree(TOY, source)
        with open(os.path.join(source, "clamp.cpp")) as f:
            original = f.read()
        base = [sys.executable, mutate, "--source", source, "--work", os.path.join(folder, "work"), "--target", "clamp_test"]

        listing = run(base + ["--list", "clamp.cpp"], 0)
        check(listing == run(base + ["--list", "clamp.cpp"], 0), "two listings of the same file differ")
        check("// Values" not in listing and "ten" not in listing, "a comment was mutated", listing)

        # Survivors make the run fail and are named with file, line and change.
        output = run(base + ["clamp.cpp"], 1)
        with open(os.path.join(source, "clamp.cpp")) as f:
            check(f.read() == original, "the checked-out file was changed")
        log_path = os.path.join(folder, "work", "mutants.jsonl")
        with open(log_path) as f:
            log = [json.loads(line) for line in f]
        statuses = {(r["line"], r["original"], r["change"]): r["status"] for r in log}
        check(statuses.get((6, "value > 10", "!(value > 10)")) == "killed", "the negated clamp was not killed", output)
        check(statuses.get((8, "value", "{}")) == "killed", "returning 0 for every small value was not killed", output)
        check(statuses.get((6, ">", ">=")) == "survived", "clamping ten itself to ten was not seen to survive", output)
        check(statuses.get((13, "<", "<=")) == "survived", "larger() of equal values was not seen to survive", output)
        check(statuses.get((13, "a < b ? b : a", "{}")) == "no-compile", "a reference returned as {} compiled", output)
        check("clamp.cpp:6: operator: > -> >=" in output and "clamp.cpp:13: operator: < -> <=" in output,
              "the survivors are not reported", output)
        # Four killed out of six that compiled; the one that does not compile is not in the score.
        check("66.7%" in output, "the score is not 4 of 6", output)

        # A second run resumes: nothing is run again, and the report is the same.
        again = run(base + ["-v", "clamp.cpp"], 1)
        check("0 to run" in again and "killed:" not in again, "the second run ran mutants again", again)
        with open(log_path) as f:
            check(len(f.readlines()) == len(log), "the second run added to the log")

        # A survivor recorded as equivalent leaves the score.
        equivalent = next(r["id"] for r in log if r["line"] == 6 and r["change"] == ">=")
        notes = os.path.join(folder, "MUTATION.md")
        with open(notes, "w") as f:
            f.write(f"## Equivalent mutants\n- `{equivalent}` clamp.cpp:6, ten clamps to ten either way\n")
        report = run(base + ["--report", "--equivalents", notes, "clamp.cpp"], 1)
        check("80.0%" in report and "clamp.cpp:6:" not in report.split("survivors:")[1], "the equivalent mutant still counts", report)

        # Rows that no longer match the file are pointed out: a mutant that moved, one that is gone.
        with open(notes, "a") as f:
            f.write("- `0123456789` clamp.cpp:8, a mutant of text that is gone\n")
        with open(notes.replace(".md", "-moved.md"), "w") as f:
            f.write(f"## Equivalent mutants\n- `{equivalent}` clamp.cpp:7, ten clamps to ten either way\n")
        stale = run(base + ["--report", "--equivalents", notes, "clamp.cpp"], 1)
        check("no longer a mutant of clamp.cpp: 0123456789" in stale, "a row of a mutant that is gone is not pointed out", stale)
        moved = run(base + ["--report", "--equivalents", notes.replace(".md", "-moved.md"), "clamp.cpp"], 1)
        check(f"now at line 6: {equivalent}" in moved, "a row whose line moved is not pointed out", moved)

        # Running the survivors again after new tests runs the other survivor, not the equivalent one.
        rerun = run(base + ["-v", "--rerun", "survived", "--equivalents", notes, "clamp.cpp"], 1)
        check("1 to run" in rerun and "clamp.cpp:13:" in rerun, "the survivors were not run again", rerun)
    print("mutate_test: passed")


if __name__ == "__main__":
    main()
