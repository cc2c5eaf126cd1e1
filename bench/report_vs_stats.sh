#!/usr/bin/env bash
# `tally report` against `tally stats` on the generated 300 k-item capture of end_to_end.sh, the two
# alternated round after round; then how long headless chromium takes to open the page, run its
# scripts and draw its first screen, alternated with an empty page (the browser's own start). A run
# that outlasts OPEN_LIMIT seconds counts as that limit. Prints the medians and the ratio.
#
#   [ROUNDS=11] [OPEN_ROUNDS=5] [OPEN_LIMIT=60] bash bench/report_vs_stats.sh [BUILD_DIR] [ITEMS]
#   (defaults: build/ci, 300000)
set -euo pipefail
(( BASH_VERSINFO[0] >= 5 )) || { echo "bash 5 or later is needed" >&2; exit 1; }

build_dir=${1:-build/ci}
items=${2:-300000}
tally="$(cd "$build_dir" && pwd)/bin/tally"
[ -x "$tally" ] || { echo "no tally at $tally; build first" >&2; exit 1; }
command -v jq > /dev/null || { echo "jq is needed" >&2; exit 1; }
command -v chromium > /dev/null || { echo "chromium is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tally" generate --events 2000 --items "$items" --seed 7 --project "$work/project.json" \
    --capture "$work/capture.jsonl"
cd "$work"
stats() { "$tally" stats --project project.json --capture capture.jsonl > /dev/null 2>&1; }
report() { "$tally" report --project project.json --capture capture.jsonl --output report.html; }
stats
report
echo "page: $(du -h report.html | cut -f1)"
rounds=${ROUNDS:-11}
for ((round = 0; round < rounds; ++round)); do
    t0=${EPOCHREALTIME/[.,]/}
    stats
    t1=${EPOCHREALTIME/[.,]/}
    report
    t2=${EPOCHREALTIME/[.,]/}
    echo "$(( t1 - t0 )) $(( t2 - t1 ))"
done > times.txt
jq -Rrs 'split("\n") | map(select(length > 0) | split(" ") | map(tonumber)) as $r
    | def median: sort | .[(length - 1) / 2 | floor];
    "\($r | length) rounds, median: stats \($r | map(.[0]) | median / 1000) ms, report \($r | map(.[1]) | median / 1000) ms",
    "ratio report/stats (median of rounds): \($r | map(.[1] / .[0]) | median * 1000 | round / 1000)"' times.txt

echo '<!doctype html><title>empty</title>' > empty.html
open_page() {
    timeout -k 5 "${OPEN_LIMIT:-60}" chromium --headless --no-sandbox --disable-gpu \
        --user-data-dir="$work/profile" --screenshot="$work/shot.png" --window-size=1280,900 \
        "file://$work/$1" > /dev/null 2>&1 || true
}
for ((round = 0; round < ${OPEN_ROUNDS:-5}; ++round)); do
    t0=${EPOCHREALTIME/[.,]/}
    open_page empty.html
    t1=${EPOCHREALTIME/[.,]/}
    open_page report.html
    t2=${EPOCHREALTIME/[.,]/}
    echo "$(( t1 - t0 )) $(( t2 - t1 ))"
done > open.txt
jq -Rrs 'split("\n") | map(select(length > 0) | split(" ") | map(tonumber)) as $r
    | def median: sort | .[(length - 1) / 2 | floor];
    "chromium, first screen (median of \($r | length)): empty page \($r | map(.[0]) | median / 1000) ms, report \($r | map(.[1]) | median / 1000) ms"' open.txt
