#!/usr/bin/env bash
# The cost of an ensemble: a 64-member Morris design of ten-year runs of the
# sample forest, run one member at a time and two at a time, and the cost of
# one member that runs a single day (process start, reading the files, the
# checks) against one that runs ten years. Usage: bench/ensemble_bench.sh [BUILD]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
S="$root/samples"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
printf "Cf\t90\t110\nTRopt\t18\t22\nqI\t20\t30\n" > ranges.tsv
"$build/sensitivity/ostrel-sensitivity" design --method morris --ranges ranges.tsv --samples 16 --seed 3 -o design.csv >/dev/null
echo "members: $(grep -vc '^#' design.csv | awk '{print $1 - 1}')"
for jobs in 1 2 1 2; do
  rm -f results.csv
  /usr/bin/time -f "jobs $jobs: wall %e s, user %U s, sys %S s, largest process %M kB" \
    "$build/sensitivity/ostrel-sensitivity" run design.csv --metric 'mean(NPP)' --jobs "$jobs" --results results.csv \
    --modelbatch "$build/cli/modelbatch" --run-option=--start=0 --run-option=--stop=3660 "$S/forest.par" "$S/weather.drr" \
    2>&1 | tail -1
done
for stop in 1 3660; do
  for i in 1 2 3; do
    /usr/bin/time -f "member of $stop days: wall %e s, user %U s, sys %S s, %M kB" "$build/cli/modelbatch" -q \
      --no-output --metric 'mean(NPP)' --start 0 --stop "$stop" "$S/forest.par" "$S/weather.drr" 2>&1 >/dev/null
  done
done
