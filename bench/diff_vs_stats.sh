#!/usr/bin/env bash
# `tally diff` against `tally stats` run on its two sides: the generated 300 k-item capture of
# end_to_end.sh before, its first 250 k items (the same project and seed, a shorter session) after.
# The three runs alternate round after round, so that a slow spell of a shared machine falls on all
# alike. Prints the medians and the median of the rounds' ratios diff / (stats before + stats after).
#
#   [ROUNDS=11] bash bench/diff_vs_stats.sh [BUILD_DIR] [ITEMS] [AFTER_ITEMS]   (build/ci, 300000, 250000)
set -euo pipefail
(( BASH_VERSINFO[0] >= 5 )) || { echo "bash 5 or later is needed" >&2; exit 1; }

build_dir=${1:-build/ci}
items=${2:-300000}
after_items=${3:-250000}
tally="$(cd "$build_dir" && pwd)/bin/tally"
[ -x "$tally" ] || { echo "no tally at $tally; build first" >&2; exit 1; }
command -v jq > /dev/null || { echo "jq is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tally" generate --events 2000 --items "$items" --seed 7 --project "$work/project.json" \
    --capture "$work/before.jsonl"
"$tally" generate --events 2000 --items "$after_items" --seed 7 --project "$work/after_project.json" \
    --capture "$work/after.jsonl"
cmp -s "$work/project.json" "$work/after_project.json" || { echo "the two sides' projects differ" >&2; exit 1; }

cd "$work"
stats() { "$tally" stats --project project.json --capture "$1" > /dev/null 2>&1; }
diff_sides() { "$tally" diff --project project.json --before before.jsonl --after after.jsonl > /dev/null 2>&1; }
# One round before timing, so that every run finds the files in the page cache.
stats before.jsonl
stats after.jsonl
diff_sides
rounds=${ROUNDS:-11}
# Bash's own clock, in microseconds once the decimal point is dropped.
for ((round = 0; round < rounds; ++round)); do
    t0=${EPOCHREALTIME/[.,]/}
    stats before.jsonl
    t1=${EPOCHREALTIME/[.,]/}
    stats after.jsonl
    t2=${EPOCHREALTIME/[.,]/}
    diff_sides
    t3=${EPOCHREALTIME/[.,]/}
    echo "$(( t1 - t0 )) $(( t2 - t1 )) $(( t3 - t2 ))"
done > times.txt
jq -Rrs 'split("\n") | map(select(length > 0) | split(" ") | map(tonumber)) as $r
    | def median: sort | .[(length - 1) / 2 | floor];
    "\($r | length) rounds, median: stats before \($r | map(.[0]) | median / 1000) ms, stats after \($r | map(.[1]) | median / 1000) ms, diff \($r | map(.[2]) | median / 1000) ms",
    "ratio diff/(stats before + stats after) (median of rounds): \($r | map(.[2] / (.[0] + .[1])) | median * 1000 | round / 1000)"' times.txt
