#!/usr/bin/env python3
"""bench/median_counts.py keeps, of three passes, the one whose ratio is the median, as a pair;
keeps a case only the first pass counted; and names the short cases in a filter that Google
Benchmark takes (its names carry '+' and '-')."""
import os
import subprocess
import sys
import tempfile


def write(folder, name, rows):
    path = os.path.join(folder, name)
    with open(path, "w") as file:
        for case, work, floor in rows:
            file.write(f"{case}\t{work}\t{floor}\n")
    return path


def run(*arguments):
    done = subprocess.run([sys.executable, sys.argv[1], *arguments], capture_output=True, text=True)
    assert done.returncode == 0, done
    return done.stdout


def main():
    with tempfile.TemporaryDirectory() as folder:
        first = write(folder, "1.tsv", [("lookup/xml", 110, 100), ("view/standard+badges/12", 5e6, 4.8e6), ("tap/standard-action/12", 103, 100)])
        second = write(folder, "2.tsv", [("lookup/xml", 130, 110), ("tap/standard-action/12", 109, 100)])
        third = write(folder, "3.tsv", [("lookup/xml", 116, 100), ("tap/standard-action/12", 101, 100)])
        merged = {line.split("\t")[0]: tuple(float(v) for v in line.split("\t")[1:]) for line in run(first, second, third).splitlines()}
        # Ratios 1.10, 1.18, 1.16: the third pass's pair, case and floor together.
        assert merged["lookup/xml"] == (116.0, 100.0), merged
        assert merged["tap/standard-action/12"] == (103.0, 100.0), merged
        assert merged["view/standard+badges/12"] == (5e6, 4.8e6), merged

        short = run("--short", first).strip()
        assert short == "^(lookup/xml|tap/standard-action/12)/iterations", short
        assert run("--short", first, "--below", "1e7").strip() == "^(lookup/xml|view/standard\\+badges/12|tap/standard-action/12)/iterations"


if __name__ == "__main__":
    main()
