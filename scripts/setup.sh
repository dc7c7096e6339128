#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing.
#   scripts/setup.sh          build, run and test
#   scripts/setup.sh assets   also the asset tools (ImageMagick, sox, meshoptimizer, CGAL)
#   scripts/setup.sh package  also the Debian packaging tools, validators and autopkgtest
#   scripts/setup.sh windows  also the MinGW-w64 cross compilers, Wine, zip and what
#                             scripts/windows-deps.sh needs to fetch and build the libraries
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
  libsdl2-mixer-dev libpng-dev libx11-dev libxcb1-dev libxfixes-dev libxtst-dev
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xdotool x11-utils xauth socat
  openbox xterm sway xwayland weston wtype
  libxext-dev libxrender-dev  # the X server scales the picture: MIT-SHM and RENDER
  libxdamage-dev  # the benchmark counts the frames that reach the game's window
  dbus-x11  # dbus-launch: the tests see that the game leaves no session bus behind
)
if [ "${1:-}" = "assets" ]; then
  packages+=(imagemagick fonts-dejavu-core sox libmeshoptimizer-dev libcgal-dev)
fi
if [ "${1:-}" = "windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
             googletest wine wine64 zip unzip dpkg-dev xz-utils ninja-build)
fi
if [ "${1:-}" = "package" ]; then
  packages+=(debhelper dpkg-dev fakeroot lintian appstream desktop-file-utils autopkgtest)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing missing Debian packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo=(sudo)
else
  echo "setup: cannot install packages: not root and sudo is not available without a password." >&2
  echo "setup: install them by hand: apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
