#!/usr/bin/env bash
# `tally explain` against `tally stats` on the generated 300 k-item capture of end_to_end.sh, the two
# alternated round after round so that a slow spell of a shared machine falls on both alike. Prints
# each one's median and the median of the rounds' ratios explain / stats.
#
#   [ROUNDS=11] bash bench/explain_vs_stats.sh [BUILD_DIR] [ITEMS]     (defaults: build/ci, 300000)
set -euo pipefail
(( BASH_VERSINFO[0] >= 5 )) || { echo "bash 5 or later is needed" >&2; exit 1; }

build_dir=${1:-build/ci}
items=${2:-300000}
tally="$(cd "$build_dir" && pwd)/bin/tally"
[ -x "$tally" ] || { echo "no tally at $tally; build first" >&2; exit 1; }
command -v jq > /dev/null || { echo "jq is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tally" generate --events 2000 --items "$items" --seed 7 --project "$work/project.json" \
    --capture "$work/capture.jsonl"
cd "$work"
stats() { "$tally" stats --project project.json --capture capture.jsonl > /dev/null 2>&1; }
explain() { "$tally" explain --project project.json --capture capture.jsonl > /dev/null; }
# One round before timing, so that both find the files in the page cache.
stats
explain
rounds=${ROUNDS:-11}
for ((round = 0; round < rounds; ++round)); do
    t0=${EPOCHREALTIME/[.,]/}
    stats
    t1=${EPOCHREALTIME/[.,]/}
    explain
    t2=${EPOCHREALTIME/[.,]/}
    echo "$(( t1 - t0 )) $(( t2 - t1 ))"
done > times.txt
jq -Rrs 'split("\n") | map(select(length > 0) | split(" ") | map(tonumber)) as $r
    | def median: sort | .[(length - 1) / 2 | floor];
    "\($r | length) rounds, median: stats \($r | map(.[0]) | median / 1000) ms, explain \($r | map(.[1]) | median / 1000) ms",
    "ratio explain/stats (median of rounds): \($r | map(.[1] / .[0]) | median * 1000 | round / 1000)"' times.txt
