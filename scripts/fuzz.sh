#!/usr/bin/env bash
# Builds the asset-loader fuzzers (libFuzzer + AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs each one.
#   scripts/fuzz.sh smoke [BUILD_DIR]   a few seconds per target (the test suite runs this)
#   scripts/fuzz.sh full  [BUILD_DIR]   FUZZ_SECONDS per target (default 60)
# Fails on the first crash, leak or sanitizer report; the input that did it is kept as
# BUILD_DIR/fuzz/crash-* (or leak-*, timeout-*).
set -euo pipefail

mode="${1:-smoke}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${2:-${BUILD:-$root/build}}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
out="$build/fuzz"
case "$mode" in
    smoke) seconds=3 ;;
    full) seconds="${FUZZ_SECONDS:-60}" ;;
    *) echo "usage: $0 smoke|full [build dir]" >&2; exit 2 ;;
esac

cxx="${FUZZ_CXX:-clang++}"
flags=(-std=c++17 -g -O1 -Wall -Wextra -fno-omit-frame-pointer -fno-sanitize-recover=undefined
       -I"$root/src" -I"$root/tests/fuzz" $(pkg-config --cflags sdl2))
sources=("$root/src/assets/vector3.cpp" "$root/src/assets/mesh.cpp" "$root/src/assets/bmp.cpp"
         "$root/src/assets/regular_file.cpp" "$root/src/assets/regular_file_posix.cpp"
         "$root/src/assets/wav.cpp"
         "$root/src/app/game_state.cpp")
targets=(fuzz_mesh_line fuzz_mesh_file fuzz_bmp fuzz_wav)
mkdir -p "$out/obj"

# Compiles one source into an instrumented object, unless the object is newer than every
# source and header it could depend on.
compile() {
    local src="$1" obj="$2" sanitizers="$3"
    if [ -f "$obj" ] && [ -z "$(find "$root/src" "$root/tests/fuzz" "$0" -newer "$obj" \
            \( -name '*.cpp' -o -name '*.h' -o -name 'fuzz.sh' \) -print -quit)" ]; then
        return 0
    fi
    "$cxx" "${flags[@]}" -fsanitize="$sanitizers" -c "$src" -o "$obj"
}

build_all() {
    echo "fuzz: building ${targets[*]} in $out"
    local pids=() src t
    for src in "${sources[@]}"; do
        compile "$src" "$out/obj/$(basename "$src" .cpp).o" fuzzer-no-link,address,undefined &
        pids+=($!)
    done
    for t in "${targets[@]}"; do
        compile "$root/tests/fuzz/$t.cpp" "$out/obj/$t.o" fuzzer,address,undefined &
        pids+=($!)
    done
    local failed=0 pid
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=1
    done
    if [ "$failed" -ne 0 ]; then
        echo "fuzz: build failed" >&2
        exit 1
    fi
    local objs=()
    for src in "${sources[@]}"; do
        objs+=("$out/obj/$(basename "$src" .cpp).o")
    done
    for t in "${targets[@]}"; do
        # bmp.cpp also holds the GL texture upload, which the fuzzers never call; wav.cpp
        # decodes with SDL.
        "$cxx" -fsanitize=fuzzer,address,undefined "$out/obj/$t.o" "${objs[@]}" -lGL \
            $(pkg-config --libs sdl2) -o "$out/$t"
    done
}

run_target() {
    local name="$1"
    local seeds="$root/tests/fuzz/corpus_${name#fuzz_}"
    local corpus="$out/corpus_${name#fuzz_}"
    mkdir -p "$corpus"
    if [ "$name" = fuzz_wav ]; then
        cp "$root/data/sounds/gun1.wav" "$corpus/"  # the game's own sound is a seed too
    fi
    echo "fuzz: running $name for ${seconds}s"
    # New inputs go to the build tree's corpus; the seeds in the source tree stay as they are.
    "$out/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$out/" -print_final_stats=1 "$corpus" "$seeds" \
        > "$out/$name.log" 2>&1 || {
        status=$?
        tail -n 60 "$out/$name.log" >&2
        echo "fuzz: $name FAILED (status $status); log $out/$name.log" >&2
        exit 1
    }
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$out/$name.log" |
        sed "s/^/fuzz: $name /"
}

build_all
for t in "${targets[@]}"; do
    run_target "$t"
done
echo "fuzz: all ${#targets[@]} targets ran ${seconds}s each without a finding"
