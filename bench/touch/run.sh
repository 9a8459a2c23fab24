#!/usr/bin/env bash
# Times setting the last-write time of the files in a tree (100 files in each
# of 1,000 folders unless told otherwise) with stampwell-cli (read back
# included) against find | xargs touch, alternately in one run, and prints
# files per second, their ratio, the time per file and the peak memory of
# stampwell-cli. A run with 10000 folders (1,000,000 files) shows how time and
# memory grow. Each round also times stampwell-cli with --no-journal: the
# journal's cost. Usage: run.sh STAMPWELL_CLI [ROUNDS] [PARENT_FOLDER] [FOLDERS]
set -euo pipefail
cli=$(realpath "$1")
rounds=${2:-3}
parent=${3:-${TMPDIR:-/tmp}}
folders=${4:-1000}
per_folder=100
files=$((folders * per_folder))

tree=$(mktemp -d "$parent/stampwell-bench.XXXXXX")
trap 'rm -rf "$tree" "$tree.mem" "$tree.out" "$tree.state"' EXIT
# The journals of the runs stay beside the tree, not in the user's state folder.
export XDG_STATE_HOME="$tree.state"
echo "making $files files in $folders folders under $tree"
for ((d = 0; d < folders; d++)); do
    mkdir "$tree/d$d"
    (cd "$tree/d$d" && touch $(seq -f 'file%03g.dat' 1 $per_folder))
done

# Every run sets a time one second later than the run before, so that each
# run really changes every file (stampwell-cli leaves a time that already has
# the wanted value alone).
second=6
stamp() {
    printf '2001-02-03 04:%02d:%02d' $((5 + second / 60)) $((second % 60))
}

now() { date +%s.%N; }
rate() { echo "scale=0; $files / ($2 - $1)" | bc; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

echo "machine load (1, 5, 15 min) at the start: $(load) on $(nproc) cores"
find_total=0
cli_total=0
cli_seconds=0
bare_total=0
peak_kb=0
for ((r = 1; r <= rounds; r++)); do
    t0=$(now)
    find "$tree" -type f -print0 | xargs -0 touch -m -d "$(stamp)"
    t1=$(now)
    second=$((second + 1))
    find_rate=$(rate "$t0" "$t1")

    when=$(stamp)
    second=$((second + 1))
    t0=$(now)
    /usr/bin/time -f '%M' -o "$tree.mem" "$cli" --touch files -r --set "modified=$when" "$tree" >"$tree.out"
    t1=$(now)
    cli_rate=$(rate "$t0" "$t1")
    kb=$(cat "$tree.mem")
    ((kb > peak_kb)) && peak_kb=$kb
    summary=$(tail -n 1 "$tree.out")
    [ "$summary" = "files: $files, folders: 0, failed: 0" ] || { echo "unexpected: $summary"; exit 1; }
    # Every file has the new time, exactly.
    times=$(find "$tree" -type f -printf '%TY-%Tm-%Td %TH:%TM:%TS\n' | sort -u)
    [ "$times" = "$when.0000000000" ] || { echo "not every file has $when: $times" | head -3; exit 1; }

    cli_time=$(echo "$t1 - $t0" | bc)

    when=$(stamp)
    second=$((second + 1))
    t0=$(now)
    "$cli" --no-journal --touch files -r --set "modified=$when" "$tree" >"$tree.out"
    t1=$(now)
    bare_rate=$(rate "$t0" "$t1")
    bare_total=$(echo "$bare_total + $bare_rate" | bc)

    printf 'round %d: find+touch %d files/s, stampwell-cli %d files/s (%.3f s, %d KiB), without journal %d files/s\n' \
        "$r" "$find_rate" "$cli_rate" "$cli_time" "$kb" "$bare_rate"
    find_total=$(echo "$find_total + $find_rate" | bc)
    cli_total=$(echo "$cli_total + $cli_rate" | bc)
    cli_seconds=$(echo "$cli_seconds + $cli_time" | bc)
done

echo "machine load (1, 5, 15 min) at the end:   $(load)"
echo "find+touch:    $((find_total / rounds)) files/s (mean of $rounds)"
printf 'stampwell-cli: %d files/s (mean of %d), %.3f s per run, %.2f µs per file\n' \
    "$((cli_total / rounds))" "$rounds" "$(echo "scale=6; $cli_seconds / $rounds" | bc)" \
    "$(echo "scale=6; $cli_seconds * 1000000 / $rounds / $files" | bc)"
echo "ratio:         $(echo "scale=2; $cli_total / $find_total" | bc) (target at least 2.0)"
echo "journal:       $(echo "scale=3; $cli_total / $bare_total" | bc) of the speed without it (target at least 0.9)"
echo "peak memory:   $peak_kb KiB, $((peak_kb * 1024 / files)) bytes per file (target at most 160)"
