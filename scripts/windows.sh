#!/usr/bin/env bash
# Cross-compiles the game for 64-bit Windows with MinGW-w64 against the libraries that
# scripts/windows-deps.sh builds (or finds built), and packs the folder a Windows player
# unzips: BUILD/vantreska-<version>-windows-x64.zip, the version from debian/changelog.
#   scripts/windows.sh [BUILD] [JOBS]    BUILD defaults to build-windows
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/${1:-build-windows}"
jobs="${2:-$(nproc)}"

deps="$("$root/scripts/windows-deps.sh" "$jobs")"
# Libraries built afresh are in a new place: what the last configuring found there is gone.
fresh=()
if [ "$(cat "$build/windows-deps" 2>/dev/null)" != "$deps" ]; then
  fresh=(--fresh)
fi
cmake "${fresh[@]}" -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DVANTRESKA_WINDOWS_DEPS="$deps" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
echo "$deps" >"$build/windows-deps"
cmake --build "$build" -j "$jobs" --target vantreska

# Nothing but the DLLs of Windows itself: everything else is linked in.
system_dlls="advapi32 gdi32 glu32 imm32 kernel32 msvcrt ole32 oleaut32 opengl32 setupapi shell32
             user32 version winmm"
for dll in $(x86_64-w64-mingw32-objdump -p "$build/vantreska.exe" | awk '/DLL Name:/ { print $3 }'); do
  name="$(tr '[:upper:]' '[:lower:]' <<<"${dll%.*}")"
  if ! grep -qw "$name" <<<"$system_dlls"; then
    echo "windows: vantreska.exe needs $dll, which is not part of Windows" >&2
    exit 1
  fi
done

version="$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)"
name="vantreska-${version%-*}-windows-x64"
rm -rf "$build/zip" "$build"/vantreska-*-windows-x64.zip
cmake --install "$build" --strip --prefix "$build/zip/$name" >/dev/null
(cd "$build/zip" && zip -qrX "$build/$name.zip" "$name")
echo "windows: $build/$name.zip"
