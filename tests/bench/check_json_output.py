#!/usr/bin/env python3
"""kavrin-bench --benchmark_format=json prints Google Benchmark's own JSON, and every case in it
carries the paired figures as user counters, with the instruction counts of an earlier count
beside them when given."""
import json
import os
import subprocess
import sys
import tempfile


def main():
    bench = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        counts = os.path.join(folder, "instructions.tsv")
        with open(counts, "w") as out:
            out.write("checkSetting/xml\t1200\t1000\n")
        run = subprocess.run([bench, "--benchmark_filter=^checkSetting/", "--pairs=3", "--benchmark_format=json",
                              "--instructions=" + counts], capture_output=True, text=True, check=True)
    cases = {case["name"].split("/iterations")[0]: case for case in json.loads(run.stdout)["benchmarks"]}
    assert set(cases) == {"checkSetting/xml", "checkSetting/binary"}, sorted(cases)
    for name, case in cases.items():
        for counter in ("time_ns", "floor_ns", "ratio", "ratio_iqr"):
            assert case.get(counter, 0) > 0 or counter == "ratio_iqr", (name, counter, case)
    assert abs(cases["checkSetting/xml"]["instructions_ratio"] - 1.2) < 1e-9, cases["checkSetting/xml"]
    assert "instructions_ratio" not in cases["checkSetting/binary"], cases["checkSetting/binary"]


if __name__ == "__main__":
    main()
