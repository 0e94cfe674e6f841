#!/usr/bin/env bash
# Builds the workbench and runs its whole test suite twice: once as users get
# it, once under AddressSanitizer and UndefinedBehaviorSanitizer, where any
# report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh cmake ninja-build g++ ccache libgtest-dev libcli11-dev \
  qt6-base-dev qt6-svg-dev libgl-dev fonts-dejavu-core libboost-dev parallel \
  libqcustomplot-dev libqcustomplot2.1-qt6 libnlopt-cxx-dev clang-format clang-tidy

jobs=$(nproc 2>/dev/null || echo 2)

echo "== Release build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Style of the code changed against ${STYLE_BASE:-main} (.clang-format, functions of at most 80 lines)"
if git rev-parse --verify --quiet "${STYLE_BASE:-main}" >/dev/null; then
  bash scripts/check-new-code.sh "${STYLE_BASE:-main}"
else
  echo "no ${STYLE_BASE:-main} to compare with; set STYLE_BASE"
fi

echo "== Sanitizer build and tests (address, undefined)"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTREL_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== Fuzz targets of the file readers (30 s each)"
bash scripts/fuzz.sh
