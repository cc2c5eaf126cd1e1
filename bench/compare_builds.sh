#!/usr/bin/env bash
# Two builds side by side: `tally stats` on the generated 300 k-item capture of end_to_end.sh, the
# builds alternated round after round. Prints each build's median and the median of the rounds'
# ratios B / A.
#
#   [ROUNDS=21] bash bench/compare_builds.sh BUILD_DIR_A BUILD_DIR_B [ITEMS]
set -euo pipefail
source "$(dirname "$0")/rounds.sh"
[ $# -ge 2 ] || { echo "usage: bash bench/compare_builds.sh BUILD_DIR_A BUILD_DIR_B [ITEMS]" >&2; exit 2; }
tally_a=$(bench_tally "$1")
tally_b=$(bench_tally "$2")
bench_need jq
bench_scratch
bench_generate "$tally_a" "${3:-300000}" "$work"
cd "$work"
build_a() { "$tally_a" stats --project project.json --capture capture.jsonl > /dev/null 2>&1; }
build_b() { "$tally_b" stats --project project.json --capture capture.jsonl > /dev/null 2>&1; }
alternate "${ROUNDS:-21}" times.txt build_a build_b
summarize times.txt "A B" "B/A" '.[1] / .[0]'
