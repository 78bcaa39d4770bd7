#!/usr/bin/env bash
# Times a 64-point sweep of pulmora-sim (8 peripheral resistances x 8 closing volumes) on one
# worker and on two, with the release build, checks that both give the same CSV, and with
# --check also that every row equals the single run with the same options (64 more runs).
#
#   bash scripts/sweep-speedup.sh [--check] [REPEATS]      (default 3 repeats)
#   BUILD=build/other bash scripts/sweep-speedup.sh         (another release build folder)
#
# Other builds on the machine distort the figures: run it when `uptime` shows a low load.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
if [[ "${1:-}" == "--check" ]]; then
    check=1
    shift
fi
repeats=${1:-3}
build=${BUILD:-build/release}

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake --preset release -B "$build" >/dev/null
fi
cmake --build "$build" --target pulmora-sim -j2 >/dev/null
sim="$build/tools/pulmora-sim"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

grid=(--sweep 0,4,100:800:8:log --sweep 0,5,100:250:8)
echo "machine: $(nproc) cores, load average$(uptime | sed 's/.*load average//')"
echo "sweep: ${grid[*]} (64 points)"

declare -A best
# Alternating, so that a change of the machine's load falls on both alike.
for ((r = 1; r <= repeats; r++)); do
    for jobs in 1 2; do
        start=$(date +%s.%N)
        "$sim" "${grid[@]}" --jobs "$jobs" --sweep-out "$work/jobs$jobs.csv" 2>"$work/log"
        end=$(date +%s.%N)
        wall=$(echo "$end - $start" | bc)
        echo "--jobs $jobs, run $r: $(tail -n 1 "$work/log" | sed 's/^pulmora-sim: //'), wall $wall s"
        if [[ -z "${best[$jobs]:-}" ]] || (($(echo "$wall < ${best[$jobs]}" | bc))); then
            best[$jobs]=$wall
        fi
    done
done
cmp -s "$work/jobs1.csv" "$work/jobs2.csv" || { echo "the CSVs of --jobs 1 and 2 differ"; exit 1; }
echo "same CSV on 1 and 2 workers"
printf 'best of %d: %.2f s on 1 worker, %.2f s on 2, speedup %.2f\n' "$repeats" \
    "${best[1]}" "${best[2]}" "$(echo "${best[1]} / ${best[2]}" | bc -l)"

if ((check)); then
    # Each row against the single run of its two cells: the JSON keys in the CSV's order.
    keys=(fev1 fvc fev1PercentFvc pef mef75 mef50 mef25 erv fet frc tlc flowVolumeSamples
          volumeTimeSamples)
    tail -n +2 "$work/jobs2.csv" | while IFS=, read -r point per ccc status rest; do
        json=$("$sim" --json --set "0,4,$per" --set "0,5,$ccc")
        single="$status"
        for key in "${keys[@]}"; do
            value=$(sed -E "s/.*\"$key\":([^,]*),.*/\1/" <<<"$json")
            # A run that did not complete has no indices in the CSV.
            if [[ "$status" != 1 && "$key" != *Samples ]]; then value=""; fi
            single+=",$value"
        done
        if [[ "$status,$rest" != "$single" ]]; then
            echo "point $point differs from its single run:"
            echo "  sweep  $status,$rest"
            echo "  single $single"
            exit 1
        fi
    done
    echo "all 64 rows equal the single runs"
fi
