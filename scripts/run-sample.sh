#!/usr/bin/env bash
# Builds modelbatch and shows the model's catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh cmake ninja-build g++ libgtest-dev libcli11-dev
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target modelbatch
./build/cli/modelbatch --list-variables
