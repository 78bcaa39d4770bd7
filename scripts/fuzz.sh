#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer) and
# runs each for a bounded number of executions (about a minute each here) on a copy of its seed
# corpus, with a fixed seed so that a run can be repeated exactly. Any finding fails the script
# and leaves the offending input in build/fuzz/findings/. "bash scripts/fuzz.sh 4" runs four
# times as many executions with a fresh seed.
set -euo pipefail
cd "$(dirname "$0")/.."
scale="${1:-1}"
seed=1
[ "$scale" = 1 ] || seed=0
bash scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p build/fuzz/findings
declare -A runs=([simulation_file]=2000 [hot_spots]=2500 [comments]=500000 [rtf]=500000)
for target in simulation_file hot_spots comments rtf; do
  work="$(mktemp -d)"
  cp -r "fuzz/corpus/$target/." "$work/"
  n=$(( ${runs[$target]} * scale ))
  echo "fuzz_$target: $n executions"
  if ! build/fuzz/fuzz/fuzz_$target -runs="$n" -seed="$seed" -max_len=8192 \
       -artifact_prefix="build/fuzz/findings/${target}-" "$work" > "build/fuzz/fuzz_$target.log" 2>&1; then
    tail -40 "build/fuzz/fuzz_$target.log"
    echo "fuzz_$target found a problem: build/fuzz/findings/" >&2
    exit 1
  fi
  grep -E '^Done [0-9]+ runs' "build/fuzz/fuzz_$target.log" || true
  rm -rf "$work"
done
