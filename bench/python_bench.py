#!/usr/bin/env python3
"""Times the model from Python against modelbatch.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [--build build] [--runs 64]

1. A ten-year daily run of the sample forest into numpy, with two metrics,
   against modelbatch --no-output with the same metrics (best of five each,
   in wall time and in processor time; the ratio is expected within 1.1).
2. RUNS ten-year runs in a process pool of two against the same runs one
   after the other in this process (the ratio is expected within 0.6 on a
   machine with two free cores). The processor time the runs had tells
   whether the machine had them free: a machine busy with other work gives
   the pool no more of it than one process gets.
"""

import argparse
import concurrent.futures
import os
import resource
import subprocess
import sys
import time
from pathlib import Path

import ostrel

ROOT = Path(__file__).resolve().parents[1]
PARAMS = str(ROOT / "samples" / "forest.par")
DRIVERS = str(ROOT / "samples" / "weather.drr")
METRICS = ["mean(NPP)@366..731", "max(LAI)"]
TEN_YEARS = {"start": 0, "stop": 3660}


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def own_cpu():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime


def best_of(times, action, cpu_clock):
    """The least wall time and the least processor time of `times` calls."""
    wall, cpu = float("inf"), float("inf")
    for _ in range(times):
        started, cpu_started = time.perf_counter(), cpu_clock()
        action()
        wall, cpu = min(wall, time.perf_counter() - started), min(cpu, cpu_clock() - cpu_started)
    return wall, cpu


def member(mf):
    """One member of an ensemble: a ten-year run with its own mF, two metrics."""
    return ostrel.run(PARAMS, DRIVERS, set={"mF": mf}, metrics=METRICS, **TEN_YEARS).metrics


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build"))
    parser.add_argument("--runs", type=int, default=64)
    args = parser.parse_args()
    modelbatch = os.path.join(args.build, "cli", "modelbatch")

    command = [modelbatch, "--quiet", "--no-output", "--start", "0", "--stop", "3660",
               *[f"--metric={m}" for m in METRICS], PARAMS, DRIVERS]
    batch, batch_cpu = best_of(5, lambda: subprocess.run(command, check=True, stdout=subprocess.DEVNULL),
                               children_cpu)
    python, python_cpu = best_of(5, lambda: ostrel.run(PARAMS, DRIVERS, metrics=METRICS, **TEN_YEARS), own_cpu)
    print(f"ten-year daily run, wall time: modelbatch --no-output {batch:.3f} s, ostrel.run into numpy "
          f"{python:.3f} s, ratio {python / batch:.3f}")
    print(f"ten-year daily run, processor time: modelbatch --no-output {batch_cpu:.3f} s, ostrel.run into numpy "
          f"{python_cpu:.3f} s, ratio {python_cpu / batch_cpu:.3f}")

    values = [30 + i * 0.25 for i in range(args.runs)]
    load = os.getloadavg()[0]
    started, cpu = time.perf_counter(), own_cpu()
    in_a_row = [member(v) for v in values]
    row, row_cpu = time.perf_counter() - started, own_cpu() - cpu
    started, cpu = time.perf_counter(), children_cpu()
    with concurrent.futures.ProcessPoolExecutor(max_workers=2) as pool:
        pooled = list(pool.map(member, values))
    pool_time, workers_cpu = time.perf_counter() - started, children_cpu() - cpu
    assert pooled == in_a_row, "the pool's runs differ from those in a row"
    print(f"{args.runs} ten-year runs: in a row {row:.2f} s, process pool of 2 {pool_time:.2f} s, "
          f"ratio {pool_time / row:.3f} (load average before and after: {load:.1f}, {os.getloadavg()[0]:.1f}; "
          f"{os.cpu_count()} cores)")
    print(f"processor time: in a row {row_cpu:.2f} s in {row:.2f} s, the pool's workers "
          f"{workers_cpu:.2f} s in {pool_time:.2f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
