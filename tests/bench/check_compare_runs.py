#!/usr/bin/env python3
"""bench/compare_runs.py tells a ratio that moved from one that held, and a case outside 1.10."""
import json
import os
import subprocess
import sys
import tempfile


def run_of(ratios):
    return {"benchmarks": [{"name": f"{name}/iterations:21/manual_time", "run_type": "iteration", "time_ns": 1500.0,
                            "floor_ns": 1000.0, "ratio": time, "ratio_iqr": 0.01, **({"instructions_ratio": ins} if ins else {})}
                           for name, (time, ins) in ratios.items()]}


def compare(folder, first, second):
    paths = []
    for index, run in enumerate((first, second)):
        paths.append(os.path.join(folder, f"run{index}.json"))
        with open(paths[-1], "w") as file:
            json.dump(run_of(run), file)
    return subprocess.run([sys.executable, sys.argv[1], *paths], capture_output=True, text=True)


def main():
    with tempfile.TemporaryDirectory() as folder:
        held = compare(folder, {"a": (1.05, 1.02), "b": (1.20, 1.15)}, {"a": (1.08, 1.025), "b": (1.22, 1.151)})
        assert held.returncode == 0, held
        assert "0 of 2 time ratios moved" in held.stdout, held.stdout
        assert "1 of 2 cases within 1.10" in held.stdout, held.stdout
        assert "| b |" in held.stdout and "**no**" in held.stdout, held.stdout
        assert "Largest moves: time ratio 0.030 (a), instruction ratio 0.0050 (a)." in held.stdout, held.stdout

        moved = compare(folder, {"a": (1.05, 1.02), "b": (1.20, None)}, {"a": (1.11, 1.04), "b": (1.20, None)})
        assert moved.returncode == 1, moved
        assert "1 of 2 time ratios moved by more than 0.05: a (+0.06)" in moved.stdout, moved.stdout
        assert "1 instruction ratios moved by more than 0.01: a (+0.020)" in moved.stdout, moved.stdout

        # A case that one run has and the other lacks is named, not silently dropped.
        partial = compare(folder, {"a": (1.05, None), "gone": (1.2, None)}, {"a": (1.06, None), "new": (1.1, None)})
        assert partial.returncode == 0, partial
        assert "Largest moves: time ratio 0.010 (a)." in partial.stdout, partial.stdout
        assert "In one run only, not compared: gone, new." in partial.stdout, partial.stdout


if __name__ == "__main__":
    main()
