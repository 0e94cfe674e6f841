#!/usr/bin/env bash
# The cost of importing tower weather: 30 years of half-hourly records
# (525,960 lines of timestamp, air temperature, precipitation and incoming
# shortwave, written here) gathered into days and written as a driver file.
# The import should take well under 2 s. Usage: bench/drivers_import_bench.sh [BUILD]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
awk 'BEGIN {
  print "TIMESTAMP_START,TA_F,P_F,SW_IN_F"
  split("31 28 31 30 31 30 31 31 30 31 30 31", md, " ")
  srand(7); doy = 0
  for (y = 1991; y <= 2020; y++) {
    leap = (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0))
    for (m = 1; m <= 12; m++) {
      n = md[m] + (m == 2 && leap)
      for (d = 1; d <= n; d++) {
        doy++
        for (h = 0; h < 48; h++) {
          hour = h / 2
          ta = 8 - 11 * cos(6.2832 * (doy - 18) / 365.25) + 4 * sin(6.2832 * (hour - 9) / 24)
          sw = hour > 5 && hour < 19 ? 550 * sin(3.1416 * (hour - 5) / 14) : 0
          p = rand() < 0.03 ? 0.6 : 0
          printf "%04d%02d%02d%02d%02d,%.2f,%.1f,%.1f\n", y, m, d, int(hour), (h % 2) * 30, ta, p, sw
        }
      }
    }
  }
}' > tower.csv
echo "records: $(($(wc -l < tower.csv) - 1))"
"$build/drivers/ostrel-drivers" import tower.csv --latitude 46 -o tower.drr | sed -n "1p;3,6p;/^Run with/,\$p"
for i in 1 2 3; do
  /usr/bin/time -f "import: wall %e s, user %U s, sys %S s, largest process %M kB" \
    "$build/drivers/ostrel-drivers" import tower.csv --latitude 46 -o tower.drr 2>&1 >/dev/null | tail -1
done
