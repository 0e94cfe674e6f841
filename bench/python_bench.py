#!/usr/bin/env python3
"""Times the model from Python against modelbatch.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [--build build] [--runs 64]

1. A ten-year daily run of the sample forest into numpy, with two metrics,
   against modelbatch --no-output with the same metrics (best of three each;
   the ratio is expected within 1.1).
2. RUNS ten-year runs in a process pool of two against the same runs one
   after the other in this process (the ratio is expected within 0.6 on a
   machine with two free cores).
"""

import argparse
import concurrent.futures
import os
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


def best_of(times, action):
    best = float("inf")
    for _ in range(times):
        started = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - started)
    return best


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
    batch = best_of(3, lambda: subprocess.run(command, check=True, stdout=subprocess.DEVNULL))
    python = best_of(3, lambda: ostrel.run(PARAMS, DRIVERS, metrics=METRICS, **TEN_YEARS))
    print(f"ten-year daily run: modelbatch --no-output {batch:.3f} s, ostrel.run into numpy {python:.3f} s, "
          f"ratio {python / batch:.3f}")

    values = [30 + i * 0.25 for i in range(args.runs)]
    load = os.getloadavg()[0]
    started = time.perf_counter()
    in_a_row = [member(v) for v in values]
    row = time.perf_counter() - started
    started = time.perf_counter()
    with concurrent.futures.ProcessPoolExecutor(max_workers=2) as pool:
        pooled = list(pool.map(member, values))
    pool_time = time.perf_counter() - started
    assert pooled == in_a_row, "the pool's runs differ from those in a row"
    print(f"{args.runs} ten-year runs: in a row {row:.2f} s, process pool of 2 {pool_time:.2f} s, "
          f"ratio {pool_time / row:.3f} (load average before and after: {load:.1f}, {os.getloadavg()[0]:.1f}; "
          f"{os.cpu_count()} cores)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
