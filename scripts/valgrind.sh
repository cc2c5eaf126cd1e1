#!/usr/bin/env bash
# Runs `tally demo` and `tally stats` sessions under valgrind's memcheck on the optimised build with
# debug info. Any invalid access, use of uninitialised memory or definite or indirect leak fails.
# Usage: bash scripts/valgrind.sh [EVENTS ITEMS]   (the generated session's size, default 200 20000)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if ! command -v valgrind >/dev/null; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq valgrind
fi
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target tally_app tally

events=${1:-200}
items=${2:-20000}
tally=build/default/bin/tally
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# --keep-debuginfo: the plug-in is unloaded before exit, and its frames must still have names.
# valgrind.supp holds the reports known to be about the C library's vector code, not about tally.
memcheck() {
    echo "== valgrind: tally $*"
    local status=0
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
        --errors-for-leak-kinds=definite,indirect --track-origins=yes --keep-debuginfo=yes \
        --suppressions=scripts/valgrind.supp --log-file="$scratch/memcheck.txt" \
        "$tally" "$@" >"$scratch/out.txt" || status=$?
    if [ "$status" -ne 0 ]; then
        cat "$scratch/memcheck.txt" >&2
        echo "valgrind: tally $* failed with status $status" >&2
        exit 1
    fi
    grep "ERROR SUMMARY" "$scratch/memcheck.txt"
}

memcheck demo
memcheck demo --replay run --query "Dialogue Events Distribution" --sort Added:desc
"$tally" generate --events "$events" --items "$items" --seed 9 \
    --project "$scratch/project.json" --capture "$scratch/capture.jsonl"
memcheck stats --project "$scratch/project.json" --capture "$scratch/capture.jsonl"
memcheck stats --project "$scratch/project.json" --capture "$scratch/capture.jsonl" --replay run \
    --query "Paths Used" --sort Played:desc --filter "Added>=2"
memcheck stats --project examples/project.json --capture - --query "Dialogue Events Added" \
    <examples/capture.jsonl
memcheck view --project examples/project.json --capture examples/capture.jsonl --snapshot
echo "valgrind: clean"
