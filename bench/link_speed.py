#!/usr/bin/env python3
"""The link at the line's limit, measured as a tuner meets it: whole
`velmor-cli program` runs (with their verify) against `velmor-sim
--line-timing`, and the fast monitor's frame rate and CPU use.

  bench/link_speed.py [--build DIR] [--runs N] [--busy] [--monitor S]

Prints each program run's wall time (the whole process, and from the first
block sent to "Verify: OK"), the median and the 90th percentile and their
ratio to the line time: 19 exchanges of two 152-byte frames at 57600
baud, 8N1 (1.003 s). --busy keeps both cores busy with `stress-ng --cpu 2`
meanwhile. --monitor S runs `velmor-cli monitor --fast` for S seconds and
prints frames a second and the CPU share it took.
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

FRAME_S = 152 * 10 / 57600
LINE_S = 19 * 2 * FRAME_S


def percentile(values, p):
    ordered = sorted(values)
    k = (len(ordered) - 1) * p / 100
    lo, hi = int(k), min(int(k) + 1, len(ordered) - 1)
    return ordered[lo] + (ordered[hi] - ordered[lo]) * (k - lo)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build"))
    ap.add_argument("--runs", type=int, default=30)
    ap.add_argument("--busy", action="store_true", help="run stress-ng --cpu 2 meanwhile")
    ap.add_argument("--monitor", type=float, default=0, help="also measure the fast monitor for S seconds")
    args = ap.parse_args()
    cli = os.path.join(args.build, "src/cli/velmor-cli")
    sim = os.path.join(args.build, "src/sim/velmor-sim")
    work = tempfile.mkdtemp(prefix="velmor-link-speed-")
    env = dict(os.environ, VELMOR_DATA_DIR=work, VELMOR_CONFIG_DIR=work)
    link = os.path.join(work, "unit")
    unit = subprocess.Popen([sim, "--line-timing", "--link", link, "--quiet"], stdout=subprocess.PIPE, text=True)
    stress = None
    try:
        unit.stdout.readline()
        tune = os.path.join(work, "tune.ign")
        subprocess.run([cli, "read", "--port", link, "-o", tune], env=env, check=True, capture_output=True)
        if args.busy:
            if shutil.which("stress-ng") is None:
                sys.exit("link_speed: --busy needs stress-ng")
            stress = subprocess.Popen(["stress-ng", "--cpu", "2", "--quiet"], stdout=subprocess.DEVNULL)
            time.sleep(1)
        whole, transfer = [], []
        for _ in range(args.runs):
            start = time.perf_counter()
            run = subprocess.Popen([cli, "program", "--port", link, tune], env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
            first = last = None
            # The tool prints each status as it changes: "Program device:"
            # once the first block has gone out, "Verify: OK" after the last
            # reply.
            for line in run.stdout:
                now = time.perf_counter()
                if line.startswith("Program device:") and first is None:
                    first = now
                if line.startswith("Verify: OK"):
                    last = now
            err = run.stderr.read()
            if run.wait() != 0 or first is None or last is None:
                sys.exit("link_speed: program failed: " + err.strip())
            whole.append(time.perf_counter() - start)
            transfer.append(last - first)
        busy = "  (both cores busy)" if args.busy else ""
        for name, times in (("whole process", whole), ("first block to Verify: OK", transfer)):
            print(f"{name} (s):", " ".join(f"{t:.3f}" for t in times))
            median, p90 = statistics.median(times), percentile(times, 90)
            print(f"  line time {LINE_S:.3f} s; median {median:.3f} s = {median / LINE_S:.3f}x; "
                  f"p90 {p90:.3f} s = {p90 / LINE_S:.3f}x{busy}")
        if args.monitor > 0:
            before = os.times()
            run = subprocess.run([cli, "monitor", "--fast", "--port", link, "--seconds", str(int(args.monitor))],
                                 env=env, capture_output=True, text=True)
            after = os.times()
            frames = sum(1 for line in run.stdout.splitlines() if line.startswith("rpm"))
            cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
            print(f"fast monitor: {frames / args.monitor:.1f} frames/s over {args.monitor:.0f} s, "
                  f"CPU {100 * cpu / args.monitor:.1f} % of one core")
    finally:
        if stress is not None:
            stress.send_signal(signal.SIGINT)
            stress.wait()
        unit.terminate()
        unit.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
