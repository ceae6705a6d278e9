#!/usr/bin/env python3
"""The rule that ends a fuzz target's run in scripts/fuzz_plateau.py: a plateau once the minimum
time has passed and no new edge came in the last half of the runs, a stop at the maximum time.

    plateau_rule_test.py SCRIPTS_FOLDER"""

import argparse
import importlib.util
import os
import signal
import sys
import time


class Fuzzer:
    """Stands in for the fuzzer's process: records the signal it is sent."""

    def __init__(self):
        self.signals = []

    def send_signal(self, number):
        self.signals.append(number)


def main():
    sys.dont_write_bytecode = True  # nothing is left in the source tree
    path = os.path.join(sys.argv[1], "fuzz_plateau.py")
    spec = importlib.util.spec_from_file_location("fuzz_plateau", path)
    plateau = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(plateau)

    def judge(minutes_run, last_edge_run, runs, min_time=600, max_time=1200):
        args = argparse.Namespace(min_time=min_time, max_time=max_time)
        now = time.monotonic()
        state = {"runs": runs, "seen_at": now, "exec_s": 0, "last_edge_run": last_edge_run}
        fuzzer = Fuzzer()
        reason = plateau.check(args, fuzzer, state, now - minutes_run * 60)
        if reason and fuzzer.signals != [signal.SIGINT]:
            sys.exit(f"plateau_rule_test: {reason}, but the fuzzer was not interrupted")
        if not reason and fuzzer.signals:
            sys.exit("plateau_rule_test: the fuzzer was interrupted without a reason")
        return reason

    cases = [
        # minutes, last new edge at run, runs so far, (min, max) seconds, expected
        ((5, 100, 1000), {}, None),                                  # too early, however flat
        ((11, 100, 1000), {}, "plateau"),                            # flat for the last half
        ((11, 500, 1000), {}, "plateau"),                            # exactly half
        ((11, 501, 1000), {}, None),                                 # still growing
        ((21, 900, 1000), {}, "stopped"),                            # out of time, growing
        ((10, 100, 1000), {"min_time": 600, "max_time": 600}, "plateau"),  # flat as time runs out
        ((10, 900, 1000), {"min_time": 600, "max_time": 600}, "stopped"),
    ]
    for (minutes, last_edge, runs), limits, expected in cases:
        got = judge(minutes, last_edge, runs, **limits)
        if got != expected:
            sys.exit(f"plateau_rule_test: {minutes} min, last edge at run {last_edge} of {runs}, {limits}: {got}, not {expected}")
    print("plateau_rule_test: passed")


if __name__ == "__main__":
    main()
