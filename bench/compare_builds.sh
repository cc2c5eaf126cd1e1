#!/usr/bin/env bash
# Two builds side by side: `tally stats` on the generated 300 k-item capture of end_to_end.sh, the
# builds alternated round after round so that a slow spell of a shared machine falls on both alike.
# Prints each build's median and the median of the rounds' ratios B / A.
#
#   [ROUNDS=21] bash bench/compare_builds.sh BUILD_DIR_A BUILD_DIR_B [ITEMS]
set -euo pipefail
(( BASH_VERSINFO[0] >= 5 )) || { echo "bash 5 or later is needed" >&2; exit 1; }
[ $# -ge 2 ] || { echo "usage: bash bench/compare_builds.sh BUILD_DIR_A BUILD_DIR_B [ITEMS]" >&2; exit 2; }

tally_a="$(cd "$1" && pwd)/bin/tally"
tally_b="$(cd "$2" && pwd)/bin/tally"
items=${3:-300000}
command -v jq > /dev/null || { echo "jq is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tally_a" generate --events 2000 --items "$items" --seed 7 --project "$work/project.json" \
    --capture "$work/capture.jsonl"
cd "$work"
run() { "$1" stats --project project.json --capture capture.jsonl > /dev/null 2>&1; }
run "$tally_a"
run "$tally_b"
rounds=${ROUNDS:-21}
for ((round = 0; round < rounds; ++round)); do
    t0=${EPOCHREALTIME/[.,]/}
    run "$tally_a"
    t1=${EPOCHREALTIME/[.,]/}
    run "$tally_b"
    t2=${EPOCHREALTIME/[.,]/}
    echo "$(( t1 - t0 )) $(( t2 - t1 ))"
done > times.txt
jq -Rrs 'split("\n") | map(select(length > 0) | split(" ") | map(tonumber)) as $r
    | def median: sort | .[(length - 1) / 2 | floor];
    "\($r | length) rounds, median: A \($r | map(.[0]) | median / 1000) ms, B \($r | map(.[1]) | median / 1000) ms",
    "ratio B/A (median of rounds): \($r | map(.[1] / .[0]) | median * 1000 | round / 1000)"' times.txt
