#!/usr/bin/env bash
# Runs the game from its asset tree, on the current display.
set -euo pipefail
build="${1:-build}"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root/data"
exec "$root/$build/vantreska"
