#!/usr/bin/env bash
# Makes the gun shot with sox: a band-limited noise crack over a falling low thump, both
# dying away fast, lightly driven and given a short room tail. 16-bit PCM, 44100 Hz, mono.
#   make_sound.sh <out.wav> <work_dir>
# sox -R fixes the noise generator's seed, so a rebuild gives the same file.
set -euo pipefail

out=$1
work=$2
mkdir -p "$work" "$(dirname "$out")"
sox -R -n -r 44100 -c 1 -b 16 "$work/crack.wav" \
    synth 0.32 whitenoise lowpass 5000 highpass 300 fade l 0 0.32 0.31
sox -R -n -r 44100 -c 1 -b 16 "$work/thump.wav" \
    synth 0.32 sine 150-45 fade l 0.003 0.32 0.29
sox -R -m -v 0.5 "$work/crack.wav" -v 0.6 "$work/thump.wav" -b 16 "$out" \
    overdrive 8 gain -6 reverb 20 50 30 fade t 0 0.32 0.08 gain -n -1
