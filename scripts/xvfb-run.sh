#!/usr/bin/env bash
# Runs a command under a private Xvfb (1024x768, 24-bit), whatever DISPLAY says, so tests
# never touch the user's screen.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$@"
