#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers with clang (in build-fuzz)
# and runs each for FUZZ_SECONDS seconds (default 30), starting from seeds
# made of the sample files and from what earlier runs found. A target that
# meets a failure it does not expect stops with its input saved under
# build-fuzz/findings, and this script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
bash scripts/install-deps.sh clang-14 libclang-rt-14-dev cmake ninja-build ccache libcli11-dev

targets=(param_fuzz driver_fuzz output_fuzz number_fuzz)
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOSTREL_FUZZ=ON -DOSTREL_TESTS=OFF -DOSTREL_WINDOWS=OFF >/dev/null
cmake --build build-fuzz -j 2 --target "${targets[@]}"

# Seeds: the sample files, as each target takes its input.
seeds=build-fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{param_fuzz,driver_fuzz,output_fuzz,number_fuzz} build-fuzz/findings
# An even first byte: the file as it is; an odd one: a valid header is put before the rest.
{ printf '\0'; cat samples/forest.par; } >"$seeds/param_fuzz/forest"
{ printf '\1'; tail -n +2 samples/forest.par; } >"$seeds/param_fuzz/forest-values"
# Two bytes choose the stop time and the restart; then the first 40 days of weather.
{ printf '\0\0'; head -n 42 samples/weather.drr; } >"$seeds/driver_fuzz/weather"
{ printf '\4\1'; head -n 42 samples/weather.drr | sed -e '5,$s/^/-/'; } >"$seeds/driver_fuzz/weather-interpolated"
if [ ! -x build/cli/modelbatch ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j 2 --target modelbatch
fi
./build/cli/modelbatch -q --start 0 --stop 5 samples/forest.par samples/weather.drr "$seeds/output_fuzz/forest.out"
for number in 1.5 -2.500000000000E-001 " 1.50000000000000E+0000" 0.0005 5E-5 NAN -INF 1e308; do
  printf '%s' "$number" >"$seeds/number_fuzz/$(printf '%s' "$number" | md5sum | cut -c1-8)"
done

for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== $target: ${seconds} s"
  log=build-fuzz/$target.log
  if ! ./build-fuzz/fuzz/$target -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
      "$corpus" "$seeds/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target: a finding, saved under build-fuzz/findings" >&2
    exit 1
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
done
