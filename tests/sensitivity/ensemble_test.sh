#!/usr/bin/env bash
# An ensemble of the sample forest end to end: a Morris design, its members
# run two at a time, the same members run again from the written command
# lines by GNU parallel, and the indices. Both ways must give the same rows.
set -euo pipefail
tool=$1 modelbatch=$2 samples=$3 windows=${4:-ON}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
printf 'symbol\tlow\thigh\nWw\t60\t80\nWf\t220\t280\nbIf\t0.1\t0.4\tlog\n' > ranges.tsv
run=(--metric 'mean(NPP)' --metric 'max(LAI)' --run-option=--start=0 --run-option=--stop=366
     --modelbatch "$modelbatch")
"$tool" design --method morris --ranges ranges.tsv --samples 3 --seed 5 -o design.csv

# Choices that give no sound design are refused before anything is written.
design_refusal() {  # MESSAGE ARGS...
  local message=$1; shift
  if "$tool" design --ranges ranges.tsv "$@" -o refused.csv 2> err.txt; then echo "taken: $*"; exit 1; fi
  test "$(cat err.txt)" = "ostrel-sensitivity: $message" || { echo "got: $(cat err.txt)"; exit 1; }
  test ! -e refused.csv
}
design_refusal "--levels 0: the Morris grid needs an even number of levels, 2 or more" --method morris --levels 0
design_refusal "--levels 5: the Morris grid needs an even number of levels, 2 or more" --method morris --levels 5
design_refusal "--samples -5: Sobol needs 1 block or more in each replicate" --method sobol --samples -5
# A range around 0 steps by a share of its width, and says so.
printf 'Tas\t-5\t5\n' > zero.tsv
"$tool" design --method oat --ranges zero.tsv -o oat.csv 2> note.txt > /dev/null
test "$(cat note.txt)" = "ostrel-sensitivity: note: Tas: the centre of its range is 0, so it steps by 0.01 of the range's width (0.1) instead"
grep -q '^2,1,minus:Tas,-0.1' oat.csv
"$tool" run design.csv "$samples/forest.par" "$samples/weather.drr" "${run[@]}" --jobs 2 -o results.csv
test "$(wc -l < results.csv)" -eq 13

# An existing results file is never rewritten; --resume runs only what is missing.
if "$tool" run design.csv "$samples/forest.par" "$samples/weather.drr" "${run[@]}" -o results.csv 2> err.txt; then
  echo "a second run over the results file was not refused"; exit 1
fi
grep -q "exists: --resume runs the members it lacks" err.txt
head -7 results.csv > partial.csv
"$tool" run design.csv "$samples/forest.par" "$samples/weather.drr" "${run[@]}" --resume -o partial.csv > resumed.txt
grep -q "6 members run (6 done before)" resumed.txt
diff <(sort results.csv) <(sort partial.csv)

# Files it cannot write are refused before any member runs, and nothing half-written is left.
if "$tool" run design.csv "$samples/forest.par" "$samples/weather.drr" "${run[@]}" -o nodir/r.csv > out.txt 2> err.txt; then
  echo "a results file in a missing folder was taken"; exit 1
fi
test "$(cat err.txt)" = "ostrel-sensitivity: results file 'nodir/r.csv': folder 'nodir' does not exist; nothing was run"
test ! -s out.txt
mkdir outdir
if "$tool" design --method morris --ranges ranges.tsv --samples 3 -o outdir 2> err.txt; then
  echo "a folder was taken for the design file"; exit 1
fi
test "$(cat err.txt)" = "ostrel-sensitivity: outdir: is a folder, not a file"
if [ "$(id -u)" != 0 ]; then  # root may write over any file
  echo kept > kept.csv && chmod 444 kept.csv
  if "$tool" design --method morris --ranges ranges.tsv --samples 3 -o kept.csv 2> err.txt; then
    echo "a read-only design file was replaced"; exit 1
  fi
  test "$(cat err.txt)" = "ostrel-sensitivity: kept.csv: File access denied"
  test "$(cat kept.csv)" = kept
fi
test -z "$(ls -A outdir)" && ! ls ./*.part ./.*.tmp 2> /dev/null

"$tool" commands design.csv "$samples/forest.par" "$samples/weather.drr" "${run[@]}" --results parallel.csv \
  -o commands.txt
test "$(grep -vc '^#' commands.txt)" -eq 12
if command -v parallel > /dev/null; then
  parallel --will-cite --jobs 2 :::: commands.txt
  diff <(sort results.csv) <(sort parallel.csv)
fi

"$tool" analyse design.csv results.csv -o indices.csv
test "$(grep -c '^"mean(NPP)",Wf,mustar,\|^mean(NPP),Wf,mustar,' indices.csv)" -eq 1
# The chart of one metric; a name or a metric it cannot take is refused before anything is written.
expect_refusal() {  # MESSAGE ARGS...
  local message=$1; shift
  if "$tool" analyse design.csv results.csv -o refused.csv "$@" 2> err.txt; then echo "taken: $*"; exit 1; fi
  test "$(cat err.txt)" = "ostrel-sensitivity: $message" || { echo "got: $(cat err.txt)"; exit 1; }
  test ! -e refused.csv
}
if [ "$windows" = ON ]; then
  "$tool" analyse design.csv results.csv -o indices2.csv --plot morris.png --plot-metric 'max(LAI)' > plot.txt
  grep -qx "ostrel-sensitivity: chart of max(LAI) in 'morris.png'" plot.txt
  test "$(head -c 8 morris.png | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a
  expect_refusal "the plot file must end in .png, .svg or .pdf: morris.gif" --plot morris.gif
  expect_refusal "--plot-metric: results.csv has no metric 'NPP'; its metrics: mean(NPP), max(LAI)" \
    --plot m.png --plot-metric NPP
  expect_refusal "--plot-metric needs --plot FILE" --plot-metric 'max(LAI)'
else
  expect_refusal "--plot: plotting is not available in this build (it was built without the windows)" --plot m.png
fi

echo "ensemble: $(grep -vc '^#' commands.txt) members, results identical both ways"
