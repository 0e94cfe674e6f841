#!/usr/bin/env bash
# Builds the workbench and runs its whole test suite twice: once as users get
# it, once under AddressSanitizer and UndefinedBehaviorSanitizer, where any
# report fails the run; then the file readers' fuzz targets, and an ensemble
# on a one-node Slurm cluster (skipped where its daemons cannot start).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh cmake ninja-build g++ ccache libgtest-dev libcli11-dev \
  qt6-base-dev qt6-svg-dev libgl-dev fonts-dejavu-core libboost-dev parallel \
  libqcustomplot-dev libqcustomplot2.1-qt6 libnlopt-cxx-dev slurm-wlm munge \
  pybind11-dev python3-dev python3-numpy python3-pytest locales \
  clang-format clang-tidy
# A comma-decimal locale, for the tests that show numbers keep the point.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null 2>&1 || echo "de_DE.UTF-8 could not be generated: the comma-locale tests skip" >&2
fi

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

echo "== The ensemble as a Slurm job array on a one-node cluster of this machine"
bash scripts/slurm-test.sh build
