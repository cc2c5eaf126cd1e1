#!/usr/bin/env bash
# `tally diff` against `tally stats` run on its two sides: the generated 300 k-item capture of
# end_to_end.sh before, its first 250 k items (the same project and seed, a shorter session) after.
# The three runs alternate round after round. Prints the medians and the median of the rounds'
# ratios diff / (stats before + stats after).
#
#   [ROUNDS=11] bash bench/diff_vs_stats.sh [BUILD_DIR] [ITEMS] [AFTER_ITEMS]   (build/ci, 300000, 250000)
set -euo pipefail
source "$(dirname "$0")/rounds.sh"
tally=$(bench_tally "${1:-build/ci}")
bench_need jq
bench_scratch
mkdir "$work/after"
bench_generate "$tally" "${2:-300000}" "$work" before.jsonl
bench_generate "$tally" "${3:-250000}" "$work/after" after.jsonl
cmp -s "$work/project.json" "$work/after/project.json" || { echo "the two sides' projects differ" >&2; exit 1; }
cd "$work"
stats_before() { "$tally" stats --project project.json --capture before.jsonl > /dev/null 2>&1; }
stats_after() { "$tally" stats --project project.json --capture after/after.jsonl > /dev/null 2>&1; }
diff_sides() {
    "$tally" diff --project project.json --before before.jsonl --after after/after.jsonl > /dev/null 2>&1
}
alternate "${ROUNDS:-11}" times.txt stats_before stats_after diff_sides
summarize times.txt "stats_before stats_after diff" "diff/(stats before + stats after)" '.[2] / (.[0] + .[1])'
