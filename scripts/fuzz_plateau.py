#!/usr/bin/env python3
"""Runs one libFuzzer target until its coverage stops growing, then minimises what it grew into
the committed corpus. Called by `scripts/fuzz --plateau`; the fuzzer is built already.

    fuzz_plateau.py FUZZER TARGET --min-time S --max-time S --max-len N [--dict FILE] [--merge-only]

The fuzzer runs from the committed corpus (fuzz/corpus/TARGET, only read) into a working corpus
(build-fuzz/corpus/TARGET). Its output is followed line by line: every status line gives the
number of runs, the edges ("cov") and the features ("ft"). The target has reached its plateau
when it has run at least --min-time seconds and no new edge came in the last half of its runs;
it is stopped at --max-time whatever its state. It is then interrupted (libFuzzer prints its
final statistics) and `-merge=1` minimises the committed and the working corpus together into
fuzz/corpus/TARGET (see minimise); --merge-only does only that.

One line of results goes to standard output:
    TARGET runs=N exec_s=N exec_cpu_s=N edges=N features=N last_edge_s=N last_edge_run=N seconds=N
    state=plateau|stopped|crashed merged=N corpus_kb=N crashes=N
A crash ends the run of the target at once; its input is in build-fuzz/crashes/TARGET/."""

import argparse
import os
import pathlib
import re
import resource
import shutil
import signal
import subprocess
import sys
import threading
import time

STATUS = re.compile(r"^#(\d+)\s+(\w+)\s+cov: (\d+) ft: (\d+).*?exec/s: (\d+)")
FINAL = re.compile(r"^stat::(\w+):\s+(\d+)")
MERGED_NAME = re.compile(r"[0-9a-f]{40}")


def check(args, process, state, start):
    now = time.monotonic()
    elapsed = now - start
    # The runs since the last status line, estimated at the speed it gave.
    runs = state["runs"] + int((now - state["seen_at"]) * state["exec_s"])
    reason = None
    # A target that reaches its plateau just as its time runs out (--min-time equal to
    # --max-time) is at its plateau, not stopped.
    if elapsed >= args.min_time and state["last_edge_run"] * 2 <= runs:
        reason = "plateau"
    elif elapsed >= args.max_time:
        reason = "stopped"
    if reason:
        state["runs_at_stop"] = runs
        process.send_signal(signal.SIGINT)
    return reason


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("fuzzer")
    parser.add_argument("target")
    parser.add_argument("--min-time", type=float, default=600)
    parser.add_argument("--max-time", type=float, default=3600)
    parser.add_argument("--max-len", type=int, default=65536)
    parser.add_argument("--dict")
    parser.add_argument("--merge-only", action="store_true", help="only minimise the committed and working corpora")
    args = parser.parse_args()
    root = pathlib.Path.cwd()
    args.corpus = root / "fuzz/corpus" / args.target
    work = root / "build-fuzz/corpus" / args.target
    crashes = root / "build-fuzz/crashes" / args.target
    log = root / "build-fuzz" / (args.target + ".log")
    work.mkdir(parents=True, exist_ok=True)
    crashes.mkdir(parents=True, exist_ok=True)
    args.corpus.mkdir(parents=True, exist_ok=True)

    if args.merge_only:
        ok = minimise(args, work, log)
        size = sum(p.stat().st_size for p in args.corpus.iterdir()) // 1024
        print(f"{args.target} inputs={len(os.listdir(args.corpus))} corpus_kb={size} merge={'ok' if ok else 'failed'}")
        return 0 if ok else 1

    code, state, stopped, seconds = run_with_watchdog(args, work, crashes, log)
    # Slow inputs are written beside the crashes but fail nothing: a shared machine makes them.
    found = sorted(p.name for p in crashes.iterdir() if not p.name.startswith("slow-unit-"))
    if stopped is None:
        stopped = "crashed" if code not in (0, 72) or found else "ended"

    before = set(os.listdir(args.corpus))
    merge_ok = minimise(args, work, log)
    merged = len(set(os.listdir(args.corpus)) - before)
    size = sum(p.stat().st_size for p in args.corpus.iterdir()) // 1024
    runs = state.get("final_number_of_executed_units", state.get("runs_at_stop", state["runs"]))
    exec_s = state.get("final_average_exec_per_sec", state["exec_s"])
    # On a shared machine the runs a second of processor time say more than those of the clock.
    cpu_s = state.get("cpu_s", 0.0)
    exec_cpu_s = int(runs / cpu_s) if cpu_s > 0 else 0
    print(f"{args.target} runs={runs} exec_s={exec_s} exec_cpu_s={exec_cpu_s} edges={state['edges']} features={state['features']} "
          f"last_edge_s={int(state['last_edge_s'])} last_edge_run={state['last_edge_run']} seconds={int(seconds)} "
          f"state={stopped} merged={merged} corpus_kb={size} crashes={len(found)}", flush=True)
    return 1 if found or not merge_ok else 0


def minimise(args, work, log):
    """Merges the working corpus into the committed one. The inputs an earlier merge added (named
    by their SHA-1) are chosen again with the new ones, so that the committed corpus stays the
    smallest set with all their coverage; inputs with other names (the seeds and regression
    inputs) always stay. On a failed merge the earlier inputs are put back."""
    pool = pathlib.Path.cwd() / "build-fuzz/merge" / args.target
    shutil.rmtree(pool, ignore_errors=True)
    pool.mkdir(parents=True)
    for path in args.corpus.iterdir():
        if MERGED_NAME.fullmatch(path.name):
            path.rename(pool / path.name)
    merge = subprocess.run([args.fuzzer, "-merge=1", f"-max_len={args.max_len}", "-timeout=25", "-rss_limit_mb=4096",
                            str(args.corpus), str(pool), str(work)], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                           text=True, errors="replace")
    with open(log, "a") as out:
        out.write(merge.stderr)
    if merge.returncode != 0:
        for path in pool.iterdir():
            if not (args.corpus / path.name).exists():
                path.rename(args.corpus / path.name)
    shutil.rmtree(pool, ignore_errors=True)
    return merge.returncode == 0


def run_with_watchdog(args, work, crashes, log):
    """Runs the fuzzer in a thread that follows its output, and checks for the plateau every
    five seconds: libFuzzer prints a status line only for a new input or at a power of two of
    runs, so it may say nothing for a long time once its coverage is flat."""
    result = {}
    holder = {}

    def target():
        result["value"] = fuzz_tracked(args, work, crashes, log, holder)

    thread = threading.Thread(target=target)
    thread.start()
    while thread.is_alive():
        thread.join(5)
        process, state, start = holder.get("process"), holder.get("state"), holder.get("start")
        if process is not None and process.poll() is None and holder.get("stopped") is None:
            holder["stopped"] = check(args, process, state, start)
    code, state, seconds = result["value"]
    return code, state, holder.get("stopped"), seconds


def fuzz_tracked(args, work, crashes, log, holder):
    options = [
        args.fuzzer, "-len_control=0", f"-max_len={args.max_len}", "-print_final_stats=1",
        f"-artifact_prefix={crashes}/", "-timeout=25", "-rss_limit_mb=4096",
        f"-max_total_time={int(args.max_time) + 60}",
    ]
    if args.dict:
        options.append(f"-dict={args.dict}")
    options += [str(work), str(args.corpus)]
    start = time.monotonic()
    state = {"runs": 0, "edges": 0, "features": 0, "exec_s": 0, "last_edge_run": 0, "last_edge_s": 0.0,
             "seen_at": start}
    process = subprocess.Popen(options, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, errors="replace")
    holder.update(process=process, state=state, start=start)
    inited = False
    with open(log, "w") as out:
        for line in process.stderr:
            out.write(line)
            match = STATUS.match(line)
            if match:
                runs, kind, edges, features, exec_s = match.groups()
                runs, edges, features = int(runs), int(edges), int(features)
                now = time.monotonic()
                # The edges of the committed corpus count as found at the start.
                if inited and edges > state["edges"]:
                    state["last_edge_run"], state["last_edge_s"] = runs, now - start
                inited = inited or kind == "INITED"
                state.update(runs=runs, edges=edges, features=features, exec_s=int(exec_s), seen_at=now)
            final = FINAL.match(line)
            if final:
                state["final_" + final.group(1)] = int(final.group(2))
    process.wait()
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    state["cpu_s"] = usage.ru_utime + usage.ru_stime
    return process.returncode, state, time.monotonic() - start


if __name__ == "__main__":
    sys.exit(main())
