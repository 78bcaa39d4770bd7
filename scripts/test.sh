#!/usr/bin/env bash
# Installs what is missing, builds the tested configuration and runs every test; then the same
# suite under AddressSanitizer + UndefinedBehaviorSanitizer (and LeakSanitizer), and a bounded
# run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
cmake --preset dev
cmake --build --preset dev
ctest --preset dev
cmake --preset asan
cmake --build --preset asan
ctest --preset asan -j2
bash scripts/fuzz.sh
