#!/usr/bin/env bash
# End to end, side by side in one run: `tally stats` (all three statistics) on a generated capture,
# and sqlite3 importing the same lines and grouping them by event and target. Prints both times and
# the ratio tally / sqlite3.
#
#   [ROUNDS=11] bash bench/end_to_end.sh [BUILD_DIR] [ITEMS]     (defaults: build/ci, 300000)
set -euo pipefail
(( BASH_VERSINFO[0] >= 5 )) || { echo "bash 5 or later is needed" >&2; exit 1; }

build_dir=${1:-build/ci}
items=${2:-300000}
tally="$(cd "$build_dir" && pwd)/bin/tally"
[ -x "$tally" ] || { echo "no tally at $tally; build first" >&2; exit 1; }
for tool in sqlite3 jq; do
    command -v "$tool" > /dev/null || { echo "$tool is needed" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tally" generate --events 2000 --items "$items" --seed 7 --project "$work/project.json" \
    --capture "$work/capture.jsonl"
echo "capture: $items items, $(du -h "$work/capture.jsonl" | cut -f1)"

# Each line becomes one text value: the unit separator (0x1F) never occurs in the capture.
printf '%s\n' 'CREATE TABLE items(line TEXT);' '.mode ascii' ".separator \"$(printf '\037')\" \"\\n\"" \
    '.import capture.jsonl items' '.mode list' \
    "SELECT json_extract(line, '\$.event') AS event, json_extract(line, '\$.target') AS target, count(*)" \
    '  FROM items GROUP BY event, target;' > "$work/group.sql"

cd "$work"
# Rounds alternate the two, so that a slow spell of a shared machine falls on both alike; the median
# of the rounds' ratios decides.
rounds=${ROUNDS:-11}
# One round before timing, so that both find the files in the page cache.
"$tally" stats --project project.json --capture capture.jsonl > /dev/null 2>&1
sqlite3 :memory: < group.sql > /dev/null
# Bash's own clock, in microseconds once the decimal point is dropped: a `date` process (or any
# subshell) per reading would add its own start-up, some milliseconds here, to every time.
for ((round = 0; round < rounds; ++round)); do
    start=${EPOCHREALTIME/[.,]/}
    "$tally" stats --project project.json --capture capture.jsonl > /dev/null 2>&1
    middle=${EPOCHREALTIME/[.,]/}
    sqlite3 :memory: < group.sql > /dev/null
    end=${EPOCHREALTIME/[.,]/}
    echo "$(( middle - start )) $(( end - middle ))"
done > times.txt
jq -Rrs 'split("\n") | map(select(length > 0) | split(" ") | map(tonumber)) as $r
    | def median: sort | .[(length - 1) / 2 | floor];
    ($r | map(.[0]) | median / 1000) as $t | ($r | map(.[1]) | median / 1000) as $s
    | ($r | map(.[0] / .[1]) | median) as $q
    | "\($r | length) rounds, median: tally \($t | floor) ms, sqlite3 \($s | floor) ms",
      "ratio tally/sqlite3 (median of rounds): \($q * 1000 | round / 1000)"' times.txt
