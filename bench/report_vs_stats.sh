#!/usr/bin/env bash
# `tally report` against `tally stats` on the generated 300 k-item capture of end_to_end.sh, the two
# alternated round after round; then how long headless chromium takes to open the page, run its
# scripts and draw its first screen, alternated with an empty page (the browser's own start). A run
# that outlasts OPEN_LIMIT seconds counts as that limit. Prints the medians and the ratio.
#
#   [ROUNDS=11] [OPEN_ROUNDS=5] [OPEN_LIMIT=60] bash bench/report_vs_stats.sh [BUILD_DIR] [ITEMS]
#   (defaults: build/ci, 300000)
set -euo pipefail
source "$(dirname "$0")/rounds.sh"
tally=$(bench_tally "${1:-build/ci}")
bench_need jq chromium
bench_scratch
bench_generate "$tally" "${2:-300000}" "$work"
cd "$work"
stats() { "$tally" stats --project project.json --capture capture.jsonl > /dev/null 2>&1; }
report() { "$tally" report --project project.json --capture capture.jsonl --output report.html; }
alternate "${ROUNDS:-11}" times.txt stats report
echo "page: $(du -h report.html | cut -f1)"
summarize times.txt "stats report" "report/stats" '.[1] / .[0]'

echo '<!doctype html><title>empty</title>' > empty.html
open_page() {
    timeout -k 5 "${OPEN_LIMIT:-60}" chromium --headless --no-sandbox --disable-gpu \
        --user-data-dir="$work/profile" --screenshot="$work/shot.png" --window-size=1280,900 \
        "file://$work/$1" > /dev/null 2>&1 || true
}
open_empty() { open_page empty.html; }
open_report() { open_page report.html; }
alternate "${OPEN_ROUNDS:-5}" open.txt open_empty open_report
summarize open.txt "empty_page report" "report/empty page" '.[1] / .[0]'
