#!/usr/bin/env python3
"""The instruction counts of several callgrind passes of kavrin-bench as one: for every case that
all passes counted, the case and floor of the pass whose ratio is the median; a case that only
the first pass counted keeps its counts.

    bench/median_counts.py FIRST.tsv OTHER.tsv [OTHER.tsv ...] > MERGED.tsv
    bench/median_counts.py --short FIRST.tsv [--below N]

A short case's count moves by up to half a percent from one process to the next with the heap
the process starts with, the order in which the font library's threads allocated beside the
main one, and the string compares that cross a page with it. --short prints the
--benchmark_filter that names the cases whose floor counts fewer than N instructions
(a million by default), the cases worth counting again."""
import re
import sys


def counts(path):
    with open(path) as file:
        rows = [line.rstrip("\n").split("\t") for line in file if line.strip()]
    return {name: (float(work), float(floor)) for name, work, floor in rows}


def short_filter(path, below):
    names = [name for name, (_, floor) in counts(path).items() if 0 < floor < below]
    if not names:
        return ""
    # Google Benchmark compiles the filter as a POSIX extended expression, which takes a
    # backslash only before a character that has a meaning.
    escaped = [re.sub(r"([.^$*+?()\[\]{}|\\])", r"\\\1", name) for name in names]
    return "^(" + "|".join(escaped) + ")/iterations"


def merged(paths):
    passes = [counts(path) for path in paths]
    result = {}
    for name, first in passes[0].items():
        all_passes = [counted[name] for counted in passes if name in counted]
        if len(all_passes) < len(passes) or any(floor <= 0 for _, floor in all_passes):
            result[name] = first
            continue
        by_ratio = sorted(all_passes, key=lambda pair: pair[0] / pair[1])
        result[name] = by_ratio[(len(by_ratio) - 1) // 2]
    return result


def main(arguments):
    if arguments[:1] == ["--short"]:
        below = float(arguments[3]) if len(arguments) == 4 and arguments[2] == "--below" else 1e6
        print(short_filter(arguments[1], below))
        return 0
    if len(arguments) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    for name, (work, floor) in merged(arguments).items():
        print(f"{name}\t{work!r}\t{floor!r}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
