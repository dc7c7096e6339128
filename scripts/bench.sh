#!/usr/bin/env bash
# Runs the benchmark program from a build directory configured with -DVANTRESKA_BENCH=ON.
# Meant to run under a private X server: scripts/xvfb-run.sh scripts/bench.sh [build-dir].
# Writes <build-dir>/bench.json and <build-dir>/bench_extra.json. Extra arguments go to the
# program (Google Benchmark flags, --skip_live, --live_seconds=N).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
shift || true
case "$build" in
    /*) ;;
    *) build="$root/$build" ;;
esac
bench="$build/bench/vantreska_bench"
if [ ! -x "$bench" ]; then
    echo "no benchmark program at $bench; configure with -DVANTRESKA_BENCH=ON and build" >&2
    exit 1
fi
exec "$bench" "$@"
