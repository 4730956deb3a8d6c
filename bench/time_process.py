#!/usr/bin/env python3
"""Times whole processes of the vaultra executable: wall time and the CPU
time (user + system) of each run, from the kernel's accounting of the child.

  bench/time_process.py BUILD_DIR [--runs N] [--samples DIR]

Runs `vaultra calc SAMPLE --internal` on every sample (fresh working folder
per sample, reused across runs as a user's would be) and `vaultra --version`,
and prints minimum and median of wall and CPU time per command with the
machine's load average, so that figures taken on a shared machine can be
read for what they are: the minimum is the closest to an unloaded run.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def time_run(argv):
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    return wall, usage.ru_utime + usage.ru_stime, code


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--runs", type=int, default=30)
    ap.add_argument("--samples", default=os.path.join(os.path.dirname(__file__), "..", "samples"))
    args = ap.parse_args()
    exe = os.path.join(os.path.abspath(args.build), "vaultra")
    samples = sorted(f for f in os.listdir(args.samples) if f.endswith(".vt1"))
    work = tempfile.mkdtemp(prefix="vaultra_time_")
    commands = [("--version", [exe, "--version"])]
    for s in samples:
        commands.append((f"calc {s} --internal",
                         [exe, "calc", os.path.join(args.samples, s), "--internal",
                          "--work-dir", os.path.join(work, s)]))
    print(f"load average before: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    print(f"{'command':44s} {'wall min':>9s} {'wall med':>9s} {'cpu min':>9s} {'cpu med':>9s}  (ms, {args.runs} runs)")
    for name, argv in commands:
        time_run(argv)  # warm the page cache and the working folder
        walls, cpus, codes = [], [], set()
        for _ in range(args.runs):
            w, c, code = time_run(argv)
            walls.append(w * 1000)
            cpus.append(c * 1000)
            codes.add(code)
        print(f"{name:44s} {min(walls):9.1f} {statistics.median(walls):9.1f} "
              f"{min(cpus):9.1f} {statistics.median(cpus):9.1f}  exit {sorted(codes)}")
        sys.stdout.flush()
    print(f"load average after: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")


if __name__ == "__main__":
    main()
