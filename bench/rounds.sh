# Shared by the timing scripts (sourced, not run): the generated capture, commands alternated round
# after round so that a slow spell of a shared machine falls on all alike, and the medians.
(( BASH_VERSINFO[0] >= 5 )) || { echo "bash 5 or later is needed" >&2; exit 1; }

# The tally of a build folder, as an absolute path.
bench_tally() {
    local tally
    tally="$(cd "$1" && pwd)/bin/tally"
    [ -x "$tally" ] || { echo "no tally at $tally; build first" >&2; exit 1; }
    echo "$tally"
}

bench_need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" > /dev/null || { echo "$tool is needed" >&2; exit 1; }
    done
}

# Sets $work to a fresh folder, removed when the script exits.
bench_scratch() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
}

# TALLY ITEMS FOLDER [NAME]: the project of 2000 events and a capture of ITEMS items, seed 7, as
# FOLDER/project.json and FOLDER/NAME (capture.jsonl).
bench_generate() {
    "$1" generate --events 2000 --items "$2" --seed 7 --project "$3/project.json" \
        --capture "$3/${4:-capture.jsonl}"
}

# ROUNDS FILE COMMAND...: runs each command (a shell function's name) once to warm the page cache,
# then ROUNDS rounds of all of them in turn; FILE gets a line per round of their times in
# microseconds (bash's own clock: a `date` process per reading would add its own start-up).
alternate() {
    local rounds=$1 file=$2 command round start line
    shift 2
    for command in "$@"; do "$command"; done
    for ((round = 0; round < rounds; ++round)); do
        line=""
        for command in "$@"; do
            start=${EPOCHREALTIME/[.,]/}
            "$command"
            line+="$(( ${EPOCHREALTIME/[.,]/} - start )) "
        done
        echo "$line"
    done > "$file"
}

# FILE "NAME..." RATIO_NAME RATIO: each column's median in ms, and the median of the rounds' RATIO,
# a jq expression over one round's array of times.
summarize() {
    jq -Rrs --arg names "$2" --arg ratio_name "$3" "split(\"\\n\") | map(select(length > 0) | split(\" \")
        | map(select(length > 0) | tonumber)) as \$r | (\$names | split(\" \")) as \$n
        | def median: sort | .[(length - 1) / 2 | floor];
        \"\\(\$r | length) rounds, median: \" + ([range(\$n | length) as \$i
            | \"\\(\$n[\$i]) \\(\$r | map(.[\$i]) | median / 1000) ms\"] | join(\", \")),
        \"ratio \\(\$ratio_name) (median of rounds): \\(\$r | map($4) | median * 1000 | round / 1000)\"" "$1"
}
