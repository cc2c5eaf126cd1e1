#!/usr/bin/env bash
# End to end, side by side in one run: `tally stats` (all three statistics) on a generated capture,
# and sqlite3 importing the same lines and grouping them by event and target. Prints both times and
# the ratio tally / sqlite3.
#
#   bash bench/end_to_end.sh [BUILD_DIR] [ITEMS]     (defaults: build/perf, 300000)
set -euo pipefail

build_dir=${1:-build/perf}
items=${2:-300000}
tally="$(cd "$build_dir" && pwd)/bin/tally"
[ -x "$tally" ] || { echo "no tally at $tally; build first" >&2; exit 1; }
for tool in hyperfine sqlite3 jq; do
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
hyperfine --warmup 1 --min-runs 5 --export-json times.json \
    -n tally "$tally stats --project project.json --capture capture.jsonl > /dev/null" \
    -n sqlite3 "sqlite3 :memory: < group.sql > /dev/null"

# Wall time decides; CPU time (user + system) is steadier while others use the machine.
jq -r '.results as $r
       | ($r[] | select(.command == "tally")) as $t | ($r[] | select(.command == "sqlite3")) as $s
       | "tally \($t.mean * 1000 | floor) ms (cpu \(($t.user + $t.system) * 1000 | floor) ms), sqlite3 \($s.mean * 1000 | floor) ms (cpu \(($s.user + $s.system) * 1000 | floor) ms)",
         "ratio tally/sqlite3: wall \($t.mean / $s.mean * 1000 | round / 1000), cpu \(($t.user + $t.system) / ($s.user + $s.system) * 1000 | round / 1000)"' \
    times.json
