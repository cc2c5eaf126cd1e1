#!/usr/bin/env bash
# End to end, side by side in one run: `tally stats` (all three statistics) on a generated capture,
# and sqlite3 importing the same lines and grouping them by event and target. Prints both times and
# the ratio tally / sqlite3.
#
#   [ROUNDS=11] bash bench/end_to_end.sh [BUILD_DIR] [ITEMS]     (defaults: build/ci, 300000)
set -euo pipefail
source "$(dirname "$0")/rounds.sh"
tally=$(bench_tally "${1:-build/ci}")
items=${2:-300000}
bench_need sqlite3 jq
bench_scratch
bench_generate "$tally" "$items" "$work"
echo "capture: $items items, $(du -h "$work/capture.jsonl" | cut -f1)"

# Each line becomes one text value: the unit separator (0x1F) never occurs in the capture.
printf '%s\n' 'CREATE TABLE items(line TEXT);' '.mode ascii' ".separator \"$(printf '\037')\" \"\\n\"" \
    '.import capture.jsonl items' '.mode list' \
    "SELECT json_extract(line, '\$.event') AS event, json_extract(line, '\$.target') AS target, count(*)" \
    '  FROM items GROUP BY event, target;' > "$work/group.sql"

cd "$work"
tally_stats() { "$tally" stats --project project.json --capture capture.jsonl > /dev/null 2>&1; }
sqlite() { sqlite3 :memory: < group.sql > /dev/null; }
alternate "${ROUNDS:-11}" times.txt tally_stats sqlite
summarize times.txt "tally sqlite3" "tally/sqlite3" '.[0] / .[1]'
