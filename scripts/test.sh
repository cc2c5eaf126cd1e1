#!/usr/bin/env bash
# Sets up, builds (warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset ci
cmake --build --preset ci -j2
ctest --preset ci -j2
