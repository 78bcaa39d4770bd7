#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer) and
# runs each for a bounded time on a copy of its seed corpus. Any finding fails the script and
# leaves the offending input in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p build/fuzz/findings
for target in simulation_file hot_spots comments rtf; do
  work="$(mktemp -d)"
  cp -r "fuzz/corpus/$target/." "$work/"
  echo "fuzz_$target: ${seconds} s"
  if ! build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -max_len=8192 \
       -artifact_prefix="build/fuzz/findings/${target}-" "$work" > "build/fuzz/fuzz_$target.log" 2>&1; then
    tail -40 "build/fuzz/fuzz_$target.log"
    echo "fuzz_$target found a problem: build/fuzz/findings/" >&2
    exit 1
  fi
  grep -E '^Done [0-9]+ runs' "build/fuzz/fuzz_$target.log" || true
  rm -rf "$work"
done
