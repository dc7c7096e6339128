#!/usr/bin/env bash
# Runs the end-to-end suite RUNS times in a row (default 20), each run under its own private
# Xvfb, with two CPU-bound processes running beside it the whole time; stops at the first
# failure and prints the tally. The suite must hold however slowly the game draws.
#   scripts/e2e-load.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
suite=$build/tests/e2e_tests
log=$build/e2e-load.log
if [ ! -x "$suite" ]; then
    echo "e2e-load: $suite is not built (make build)" >&2
    exit 2
fi

hogs=()
stop_hogs() {
    for pid in "${hogs[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
}
trap stop_hogs EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
for _ in 1 2; do
    sh -c 'while :; do :; done' &
    hogs+=("$!")
done

start=$(date +%s)
passed=0
for ((run = 1; run <= runs; run++)); do
    began=$(date +%s)
    if timeout --kill-after=10 1200 "$here/xvfb-run.sh" "$suite" >"$log" 2>&1; then
        passed=$((passed + 1))
        echo "e2e-load: run $run passed in $(($(date +%s) - began)) s"
    else
        echo "e2e-load: run $run FAILED after $(($(date +%s) - began)) s; its output is in $log:"
        grep -E -A 12 'Failure|\[  FAILED  \]' "$log" | head -60
        break
    fi
done
echo "e2e-load: $passed of $runs runs passed with two CPU hogs beside them, in $(($(date +%s) - start)) s"
[ "$passed" -eq "$runs" ]
