#!/usr/bin/env bash
# `tally explain` against `tally stats` on the generated 300 k-item capture of end_to_end.sh, the two
# alternated round after round. Prints each one's median and the median of the rounds' ratios.
#
#   [ROUNDS=11] bash bench/explain_vs_stats.sh [BUILD_DIR] [ITEMS]     (defaults: build/ci, 300000)
set -euo pipefail
source "$(dirname "$0")/rounds.sh"
tally=$(bench_tally "${1:-build/ci}")
bench_need jq
bench_scratch
bench_generate "$tally" "${2:-300000}" "$work"
cd "$work"
stats() { "$tally" stats --project project.json --capture capture.jsonl > /dev/null 2>&1; }
explain() { "$tally" explain --project project.json --capture capture.jsonl > /dev/null; }
alternate "${ROUNDS:-11}" times.txt stats explain
summarize times.txt "stats explain" "explain/stats" '.[1] / .[0]'
