#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Without a display it says so and
# runs the standard examination headless instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/release/bin/pulmora "$@"
fi
echo "No display: running the standard examination headless (build/release/tools/pulmora-sim)." >&2
exec ./build/release/tools/pulmora-sim "$@"
