#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing. The names exist in
# Debian 12, 13 and unstable and carry no version (clang and libclang-rt-dev are the default
# clang and its sanitizer and libFuzzer runtimes, whatever its version).
#   scripts/setup.sh                build, run and test
#   scripts/setup.sh assets         also the asset tools (ImageMagick, sox, meshoptimizer, CGAL)
#   scripts/setup.sh package        also the Debian packaging tools, validators and autopkgtest
#   scripts/setup.sh package-build  only what building the Debian package needs (debian/control)
#   scripts/setup.sh distros        only what scripts/distros.sh needs
#   scripts/setup.sh windows        also the MinGW-w64 cross compilers, Wine, zip and what
#                                   scripts/windows-deps.sh needs to fetch and build the libraries
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
packages=(
  cmake g++ make pkgconf git
  libglut-dev libglu1-mesa-dev libgl1-mesa-dri
  libsdl2-mixer-dev libpng-dev libx11-dev libxcb1-dev libxfixes-dev libxtst-dev
  libgtest-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xdotool x11-utils xauth socat
  openbox xterm sway xwayland weston wtype
  libxext-dev libxrender-dev  # the X server scales the picture: MIT-SHM and RENDER
  libxdamage-dev  # the benchmark counts the frames that reach the game's window
  dbus-x11  # dbus-launch: the tests see that the game leaves no session bus behind
)
case "${1:-}" in
  assets) packages+=(imagemagick fonts-dejavu-core sox libmeshoptimizer-dev libcgal-dev) ;;
  package) packages+=(build-essential debhelper dpkg-dev fakeroot lintian appstream
                      desktop-file-utils autopkgtest) ;;
  package-build) packages=(build-essential dpkg-dev) ;;
  windows) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
                      googletest wine wine64 zip unzip dpkg-dev xz-utils ninja-build) ;;
  distros) packages=(debootstrap git) ;;
  "") ;;
  *) echo "usage: $0 [assets|package|package-build|windows|distros]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# The package's build dependencies, as debian/control names them.
build_deps=0
case "${1:-}" in
  package | package-build) (cd "$root" && dpkg-checkbuilddeps) >/dev/null 2>&1 || build_deps=1 ;;
esac
[ ${#missing[@]} -eq 0 ] && [ $build_deps -eq 0 ] && exit 0

[ ${#missing[@]} -eq 0 ] || echo "setup: installing missing Debian packages: ${missing[*]}"
[ $build_deps -eq 0 ] || echo "setup: installing the build dependencies in debian/control"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo=(sudo)
else
  echo "setup: cannot install packages: not root and sudo is not available without a password." >&2
  echo "setup: install them by hand: apt-get install ${missing[*]}" >&2
  exit 1
fi
# Waits for another apt or dpkg at work rather than failing on its lock.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900)
"${apt[@]}" update -qq
[ ${#missing[@]} -eq 0 ] || "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
[ $build_deps -eq 0 ] || "${apt[@]}" build-dep -y -qq --no-install-recommends "$root"
