#!/usr/bin/env python3
"""Before/after table of the four speed targets for two release builds
(each configured with -DVAULTRA_BENCH=ON and built with vaultra,
vaultra-gui, bench_calc and bench_report):

  bench/compare_targets.py OLD_BUILD NEW_BUILD [--runs N]

Rounds alternate the builds (old, new, old, new, ...) so that a shared
machine's load falls on both alike. Per round and build it takes

  - the whole run in process (bench_calc BM_WholeRun*, CPU time of one
    iteration) on every sample and on the largest box facility;
  - 100 report pages recorded and written to a PDF (bench_report
    BM_RecordAndWritePdf, CPU time);
  - `vaultra calc SAMPLE --internal` as a process on every sample (wall
    and CPU time of the child from the kernel's accounting).

and prints minimum and median over the rounds with the target of each.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def bench_json(exe, flt, extra=()):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    out = subprocess.run([exe, f"--benchmark_filter={flt}", "--benchmark_format=json", *extra],
                         capture_output=True, text=True, env=env, check=True).stdout
    result = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("error_occurred"):
            raise SystemExit(f"{exe}: {b['name']}: {b.get('error_message')}")
        scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b.get("time_unit", "ns")]
        result[b["name"]] = b["cpu_time"] * scale
    return result


def time_run(argv):
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = (time.perf_counter() - start) * 1000
    if os.waitstatus_to_exitcode(status) not in (0, 1):  # 1: some check N.G.
        raise SystemExit(f"{argv}: exit {os.waitstatus_to_exitcode(status)}")
    return wall, (usage.ru_utime + usage.ru_stime) * 1000


def one_round(build, samples, work):
    rows = {}
    calc = bench_json(os.path.join(build, "bench", "bench_calc"), "^BM_WholeRun(/|LargestBox$)",
                      ["--benchmark_min_time=0.3"])
    for name, ms in calc.items():
        rows[f"in process {name.split('/')[-1].replace('BM_WholeRun', '')} (cpu)"] = ms
    rep = bench_json(os.path.join(build, "bench", "bench_report"), "BM_RecordAndWritePdf")
    rows["100 report pages + PDF (cpu)"] = list(rep.values())[0]
    exe = os.path.join(build, "vaultra")
    for s in samples:
        argv = [exe, "calc", os.path.join(HERE, "..", "samples", s), "--internal", "--work-dir",
                os.path.join(work, os.path.basename(build.rstrip("/")) + s)]
        time_run(argv)  # the working folder as a user's: written before
        wall, cpu = time_run(argv)
        rows[f"calc process {s} (wall)"] = wall
        rows[f"calc process {s} (cpu)"] = cpu
    return rows


def target_of(name):
    if "LargestBox" in name:
        return "< 100"
    if name.startswith("in process"):
        return "< 25"
    if "report" in name:
        return "< 150"
    if "(wall)" in name:
        return "< 100"
    return ""


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("--runs", type=int, default=10)
    args = ap.parse_args()
    samples = sorted(f for f in os.listdir(os.path.join(HERE, "..", "samples"))
                     if f.endswith(".vt1"))
    work = tempfile.mkdtemp(prefix="vaultra_targets_")
    got = {"old": {}, "new": {}}
    print(f"load average before: {' '.join(f'{x:.2f}' for x in os.getloadavg())}", flush=True)
    for r in range(args.runs):
        for which, build in (("old", args.old), ("new", args.new)):
            for name, v in one_round(os.path.abspath(build), samples, work).items():
                got[which].setdefault(name, []).append(v)
        print(f"round {r + 1}/{args.runs} done", file=sys.stderr, flush=True)
    print(f"load average after: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    print(f"{'ms, ' + str(args.runs) + ' rounds interleaved':46s} {'target':>7s} "
          f"{'old min':>8s} {'old med':>8s} {'new min':>8s} {'new med':>8s}")
    for name in got["old"]:
        o, n = got["old"][name], got["new"].get(name, [float("nan")])
        print(f"{name:46s} {target_of(name):>7s} {min(o):8.1f} {statistics.median(o):8.1f} "
              f"{min(n):8.1f} {statistics.median(n):8.1f}")


if __name__ == "__main__":
    main()
