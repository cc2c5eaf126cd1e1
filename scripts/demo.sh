#!/usr/bin/env bash
# Sets up, builds and runs `tally demo` on the built-in example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tally_app tally
exec build/default/bin/tally demo "$@"
