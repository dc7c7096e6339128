#!/usr/bin/env bash
# Runs the game from its asset tree on the current display. With no display, runs a
# scripted demo of the real game under a private Xvfb and saves a screenshot per step.
set -euo pipefail
build="${1:-build}"
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$root/data"
  exec "$root/$build/vantreska"
fi
echo "run: no display; playing a scripted demo under a private Xvfb instead"
out="$root/$build/demo"
rm -rf "$out"
"$root/scripts/xvfb-run.sh" "$root/$build/vantreska_demo" demo "$out"
echo "run: screenshots of each step are listed above (under $out)"
