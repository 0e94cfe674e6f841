#!/usr/bin/env bash
# Checks the code a change adds since it left BASE (default: main), that is
# against the last commit it shares with BASE:
#  - its changed lines are formatted as .clang-format says (clang-format-diff);
#  - no function that a changed line falls in is longer than 80 lines
#    (clang-tidy's readability-function-size, as .clang-tidy sets it).
# Needs a configured build folder (default: build) for the compile commands.
# Prints what it finds and exits with 1 when there is anything.
set -euo pipefail
cd "$(dirname "$0")/.."
base=$(git merge-base "${1:-main}" HEAD)
builddir=${BUILD_DIR:-build}
status=0

changes=$(git diff -U0 --no-color "$base" -- '*.cpp' '*.h')
if [ -z "$changes" ]; then
  echo "check-new-code: no C++ changes since ${1:-main}"
  exit 0
fi

formatting=$(printf '%s\n' "$changes" | clang-format-diff -p1 || true)
if [ -n "$formatting" ]; then
  echo "check-new-code: changed lines that .clang-format would write otherwise:"
  printf '%s\n' "$formatting"
  status=1
fi

# The changed lines of each file, as "file first last" ranges.
ranges=$(printf '%s\n' "$changes" | awk '
  /^\+\+\+ b\// { file = substr($2, 3) }
  /^@@ / {
    split($3, plus, ",")
    first = substr(plus[1], 2); count = (plus[2] == "" ? 1 : plus[2])
    if (count > 0) print file, first, first + count - 1
  }')

if [ ! -f "$builddir/compile_commands.json" ]; then
  echo "check-new-code: no $builddir/compile_commands.json; configure a build first" >&2
  exit 2
fi
# The compile commands without the options of GCC that clang does not know.
commands=$(mktemp -d)
trap 'rm -rf "$commands"' EXIT
sed -e 's/ -ftree-loop-vectorize//g' -e 's/ -fvect-cost-model=[a-z]*//g' "$builddir/compile_commands.json" \
  > "$commands/compile_commands.json"
for file in $(printf '%s\n' "$ranges" | awk '$1 ~ /\.cpp$/ { print $1 }' | sort -u); do
  [ -f "$file" ] || continue
  # Each long function as "line length", from the warning and its note.
  found=$( (clang-tidy -p "$commands" --quiet "$file" 2>/dev/null || true) |
          awk -F: '/readability-function-size/ { start = $2; next }
                   start != "" && /lines including whitespace/ {
                     match($0, /[0-9]+ lines including/); print start, substr($0, RSTART, RLENGTH - 15); start = "" }')
  [ -n "$found" ] || continue
  long=$(printf '%s\n' "$found" | while read -r start length; do
    if printf '%s\n' "$ranges" | awk -v f="$file" -v s="$start" -v e="$((start + length - 1))" \
         '$1 == f && $2 <= e && $3 >= s { hit = 1 } END { exit !hit }'; then
      echo "$file:$start: a function of $length lines (at most 80)"
    fi
  done)
  if [ -n "$long" ]; then
    echo "check-new-code: functions over 80 lines where $file changed:"
    printf '%s\n' "$long"
    status=1
  fi
done
exit $status
