#!/usr/bin/env bash
# Runs a command under a private Xvfb (1024x768, 24-bit, or VANTRESKA_XVFB_SCREEN), whatever
# DISPLAY says, so tests never touch the user's screen. -noreset: by default the server resets
# whenever its last client leaves, and a game started during that reset cannot open the display.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 ${VANTRESKA_XVFB_SCREEN:-1024x768x24} -nolisten tcp -noreset" "$@"
