#!/usr/bin/env python3
"""Two runs of scripts/bench --json side by side: every case's time ratio with its spread in
both, how far it moved, the instruction ratios of both and whether the case is within its bound.

    bench/compare_runs.py FIRST.json SECOND.json [--time-moves 0.05] [--instructions-move 0.01]

Prints a Markdown table and a summary (how many ratios moved, the largest move of each kind, the
cases that only one run has), and exits 1 when a ratio moved more than allowed."""
import argparse
import json
import sys

BOUND = 1.10


def cases(path):
    with open(path) as file:
        runs = json.load(file)["benchmarks"]
    return {run["name"].split("/iterations:")[0]: run for run in runs if run.get("run_type", "iteration") == "iteration"}


def duration(ns):
    for unit, size in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= size:
            return f"{ns / size:.2f} {unit}" if unit != "µs" else f"{ns / size:.1f} {unit}"
    return f"{ns:.0f} ns"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("first")
    parser.add_argument("second")
    parser.add_argument("--time-moves", type=float, default=0.05, help="largest move of a time ratio (0.05)")
    parser.add_argument("--instructions-move", type=float, default=0.01, help="largest move of an instruction ratio (0.01)")
    options = parser.parse_args()
    first, second = cases(options.first), cases(options.second)
    names = [name for name in first if name in second]
    unpaired = [name for name in first if name not in second] + [name for name in second if name not in first]

    print("| case | time (1) | floor (1) | ratio (IQR), run 1 | ratio (IQR), run 2 | moved | instructions, run 1 | run 2 | within 1.10 |")
    print("|---|---:|---:|---:|---:|:---:|---:|---:|:---:|")
    time_moves, instruction_moves, outside = [], [], []
    largest_time, largest_instructions = (0.0, ""), (0.0, "")
    for name in names:
        a, b = first[name], second[name]
        move = b["ratio"] - a["ratio"]
        largest_time = max(largest_time, (abs(move), name))
        moved = f"**{move:+.2f}**" if abs(move) > options.time_moves else ""
        if moved:
            time_moves.append((name, move))
        ia, ib = a.get("instructions_ratio"), b.get("instructions_ratio")
        if ia is not None and ib is not None:
            largest_instructions = max(largest_instructions, (abs(ib - ia), name))
            if abs(ib - ia) > options.instructions_move:
                instruction_moves.append((name, ib - ia))
        within = max(a["ratio"], b["ratio"], ia or 0, ib or 0) <= BOUND
        if not within:
            outside.append(name)
        shown = lambda value: f"{value:.3f}" if value is not None else ""
        print(f"| {name} | {duration(a['time_ns'])} | {duration(a['floor_ns'])} | {a['ratio']:.2f} ({a['ratio_iqr']:.3f}) "
              f"| {b['ratio']:.2f} ({b['ratio_iqr']:.3f}) | {moved} | {shown(ia)} | {shown(ib)} | {'yes' if within else '**no**'} |")
    print()
    print(f"{len(time_moves)} of {len(names)} time ratios moved by more than {options.time_moves}"
          + (": " + ", ".join(f"{n} ({m:+.2f})" for n, m in time_moves) if time_moves else "") + ".")
    print(f"{len(instruction_moves)} instruction ratios moved by more than {options.instructions_move}"
          + (": " + ", ".join(f"{n} ({m:+.3f})" for n, m in instruction_moves) if instruction_moves else "") + ".")
    if names:
        print(f"Largest moves: time ratio {largest_time[0]:.3f} ({largest_time[1]})"
              + (f", instruction ratio {largest_instructions[0]:.4f} ({largest_instructions[1]})" if largest_instructions[1] else "")
              + ".")
    print(f"{len(names) - len(outside)} of {len(names)} cases within {BOUND:.2f} in both runs, in time and instructions.")
    if unpaired:
        print(f"In one run only, not compared: {', '.join(unpaired)}.")
    return 1 if time_moves or instruction_moves else 0


if __name__ == "__main__":
    sys.exit(main())
