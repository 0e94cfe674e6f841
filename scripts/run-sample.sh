#!/usr/bin/env bash
# Builds modelbatch and runs the bundled ten-year sample: a temperate
# deciduous forest under synthetic daily weather. Prints where the output file
# is and a table of annual figures read back from it, and draws a chart of
# leaf area, GPP and NPP from it with ostrel-plot, with the carbon, nitrogen
# and water budget of the whole run. Only the four programs
# it uses are built: the engine, the command lines and the chart library,
# not the workbench's windows.
set -euo pipefail
cd "$(dirname "$0")/.."
step() { echo "== $*"; }

step "Checking the build packages (installs what is missing)"
bash scripts/install-deps.sh cmake ninja-build g++ ccache libgtest-dev libcli11-dev \
  qt6-base-dev qt6-svg-dev libgl-dev fonts-dejavu-core libboost-dev \
  libqcustomplot-dev libqcustomplot2.1-qt6 libnlopt-cxx-dev
step "Configuring the build in build/"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
step "Building modelbatch, annual_summary, ostrel-budget and ostrel-plot (a few minutes the first time)"
cmake --build build --target modelbatch annual_summary ostrel-budget ostrel-plot

out="$PWD/build/sample-run/forest.out"
mkdir -p "$(dirname "$out")"
step "Running ten model years of the forest sample"
# Ten model years of 366 days, daily steps, a record every day.
./build/cli/modelbatch --start 0 --stop 3660 --step 1 samples/forest.par samples/weather.drr "$out"
echo
echo "Output file: $out"
echo
./build/samples/annual_summary "$out"
echo
step "The carbon, nitrogen and water books of the whole run"
# Every year: ostrel-budget "$out".
./build/budget/ostrel-budget "$out" | sed -n '/^Whole run/,$p'
echo
step "Drawing leaf area, GPP and NPP"
# Leaf area index, daily GPP and daily NPP against time in model years: leaf
# area and the two fluxes on panels of their own.
./build/plot/ostrel-plot "$out" --series LAI,Ps,NPP --years -o "$PWD/build/sample-run/forest.png"
