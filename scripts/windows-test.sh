#!/usr/bin/env bash
# The Windows build's tests under Wine, each on a private Xvfb: the in-process suite
# cross-built (from data/, as on Linux), then the end-to-end tests, whose driver is the Linux
# build's, on vantreska.exe in the unzipped folder. Wine's prefix is made for the run in a
# scratch directory and goes with it.
#   scripts/windows-test.sh [WINDOWS_BUILD] [LINUX_BUILD] [JOBS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
wbuild="$root/${1:-build-windows}"
lbuild="$root/${2:-build}"
jobs="${3:-$(nproc)}"
cmake --build "$wbuild" -j "$jobs" --target unit_tests
cmake --build "$lbuild" -j "$jobs" --target windows_e2e_tests

scratch="$(mktemp -d "${TMPDIR:-/tmp}/vantreska-windows-test-XXXXXX")"
export WINEPREFIX="$scratch/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
echo "windows-test: a fresh Wine prefix"
wineboot --init >/dev/null 2>&1
wineserver -w
unzip -q "$wbuild"/vantreska-*-windows-x64.zip -d "$scratch"
VANTRESKA_WINDOWS_GAME="$(echo "$scratch"/vantreska-*-windows-x64)"
export VANTRESKA_WINDOWS_GAME

# The suite's window, 1024 x 768 inside, needs a screen that holds the frame Wine draws round it.
log="$wbuild/unit-tests.log"
echo "windows-test: unit_tests.exe under Wine (log: $log)"
if ! (cd "$root/data" && VANTRESKA_XVFB_SCREEN=1280x1024x24 \
      "$root/scripts/xvfb-run.sh" wine "$wbuild/tests/unit_tests.exe" >"$log" 2>&1); then
  grep -v '^\(trying to load\|number of hits\|depth:\|the name of\|[0-9]\)' "$log" | tail -40
  exit 1
fi
grep '^\[  PASSED  \]' "$log"
wineserver -k 2>/dev/null || true
echo "windows-test: vantreska.exe from the unzipped folder, end to end"
"$root/scripts/xvfb-run.sh" "$lbuild/tests/windows_e2e_tests"
