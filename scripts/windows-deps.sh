#!/usr/bin/env bash
# Builds the libraries of the Windows build as static libraries for 64-bit Windows (MinGW-w64,
# cmake/mingw-w64-x86_64.cmake) from Debian's own sources: freeglut, SDL2 and SDL2_mixer, which
# the game links, libpng for the tests' reference frames (zlib comes built, libz-mingw-w64-dev)
# and GoogleTest from /usr/src/googletest. The versions are the ones this machine's apt offers
# for the Linux build, so both builds use the same code. The sources come through apt-get source
# with a private apt set-up (its own source list, deb-src for the Debian archive the machine
# already uses, and its own state and cache), which leaves the machine's apt as it is.
#
# The result lands in ~/.cache/vantreska/windows/<versions>/ (under XDG_CACHE_HOME when set) with
# each library's licence texts in share/licenses/; it is built again only when a version, the
# compiler or this recipe changes. Prints the prefix on standard output, progress on standard
# error.   scripts/windows-deps.sh [JOBS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
jobs="${1:-$(nproc)}"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/vantreska/windows"
say() { echo "windows-deps: $*" >&2; }

# The Debian source packages and the -dev package of each that the Linux build uses.
sources=(freeglut:freeglut3-dev libsdl2:libsdl2-dev libsdl2-mixer:libsdl2-mixer-dev
         libpng1.6:libpng-dev)

# The version of the source package behind the candidate of a binary package, epoch included.
source_version() {
  apt-cache show --no-all-versions "$1" | awk -F': ' '
    $1 == "Version" { v = $2 }
    $1 == "Source" && match($2, /\(.*\)/) { s = substr($2, RSTART + 1, RLENGTH - 2) }
    END { print (s != "" ? s : v) }'
}

declare -A version
for entry in "${sources[@]}"; do
  src="${entry%%:*}"
  version[$src]="$(source_version "${entry#*:}")"
  [ -n "${version[$src]}" ] || { say "apt knows no ${entry#*:}; run apt-get update"; exit 1; }
done
gtest="$(dpkg-query -W -f='${Version}' googletest)"
compiler="$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
# Named for the game's libraries; the hash covers every version, the compiler and the recipe.
key="$(for src in "${!version[@]}"; do echo "$src ${version[$src]}"; done | sort
       echo "googletest $gtest"; echo "compiler $compiler"; cat "$0" "$toolchain")"
prefix="$cache/freeglut-${version[freeglut]#*:}_sdl2-${version[libsdl2]#*:}"
prefix+="_sdl2-mixer-${version[libsdl2-mixer]#*:}_$(sha256sum <<<"$key" | cut -c1-10)"
mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9  # one build at a time; a second run then finds the first one's result
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# The private apt: the machine's configuration and keys, but sources, state and cache of its
# own, and no hooks (some clean the machine's own caches after an update).
apt="$cache/apt"
mkdir -p "$apt/parts" "$apt/sources.list.d" "$apt/state/lists/partial" \
         "$apt/cache/archives/partial"
machine_parts=""
eval "$(apt-config shell machine_parts Dir::Etc::parts/d)"
rm -f "$apt/parts/"*
for f in "$machine_parts"*; do
  if [ -f "$f" ]; then
    ln -s "$f" "$apt/parts/"
  fi
done
cat >"$apt/parts/zzzz-vantreska" <<CONF
#clear APT::Update::Pre-Invoke;
#clear APT::Update::Post-Invoke;
#clear APT::Update::Post-Invoke-Success;
Dir::Etc::sourcelist "$apt/sources.list";
Dir::Etc::sourceparts "$apt/sources.list.d";
Dir::State "$apt/state";
Dir::Cache "$apt/cache";
CONF
[ "$(id -u)" -ne 0 ] || echo 'APT::Sandbox::User "root";' >>"$apt/parts/zzzz-vantreska"
# Source lines for every Debian suite the machine installs from ($(...) are apt's own fields).
# shellcheck disable=SC2016
apt-get indextargets --format 'deb-src $(REPO_URI) $(RELEASE) $(COMPONENT)' \
  'Created-By: Packages' 'Origin: Debian' | sort -u >"$apt/sources.list"
[ -s "$apt/sources.list" ] || { say "the machine's apt has no Debian archive"; exit 1; }
echo "Dir::Etc::parts \"$apt/parts\";" >"$apt/apt.conf"
private_apt() { APT_CONFIG="$apt/apt.conf" apt-get "$@"; }
private_apt_cache() { APT_CONFIG="$apt/apt.conf" apt-cache "$@"; }

work="$cache/work"
rm -rf "$work" "$prefix"
mkdir -p "$work"
log="$work/build.log"
say "fetching the Debian sources: ${sources[*]%%:*} (log: $log)"
private_apt -qq update >>"$log" 2>&1 || { tail -20 "$log" >&2; exit 1; }
# Fetches and unpacks a source package, the given version or, should the archive no longer
# serve its files, the newest other version it has.
fetch() {
  local src="$1" v
  for v in "$2" $(private_apt_cache showsrc "$1" | awk '/^Version:/ { print $2 }' | sort -urV); do
    rm -rf "${work:?}/$src" && mkdir -p "$work/$src"
    if (cd "$work/$src" && private_apt -qq source "$src=$v") >>"$log" 2>&1; then
      [ "$v" = "$2" ] || say "$src $2 could not be fetched; building $v instead"
      echo "$src $v" >>"$work/VERSIONS"
      return 0
    fi
  done
  tail -20 "$log" >&2
  exit 1
}
for src in "${!version[@]}"; do
  fetch "$src" "${version[$src]}"
done

# Configures, builds and installs one CMake project into the prefix as static libraries.
build() {
  local label="$1" dir="$2"
  shift 2
  say "building $label"
  if ! { cmake -S "$dir" -B "$dir/build-windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
           -DVANTRESKA_WINDOWS_DEPS="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
           -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF "$@" &&
         cmake --build "$dir/build-windows" -j "$jobs" &&
         cmake --install "$dir/build-windows"; } >>"$log" 2>&1; then
    tail -30 "$log" >&2
    say "building $label failed (log: $log)"
    exit 1
  fi
}

# The one unpacked tree of a fetched source package.
tree() { find "$work/$1" -mindepth 1 -maxdepth 1 -type d; }

# The licence texts of what goes into the game, for the zip: share/licenses/<name>/ holds
# each source:target pair given (upstream's own, Debian's copyright file, which names every
# part of the source and its terms).
licences() {
  local name="$1" pair
  shift
  mkdir -p "$prefix/share/licenses/$name"
  for pair in "$@"; do
    cp "${pair%%:*}" "$prefix/share/licenses/$name/${pair#*:}"
  done
}

build freeglut "$(tree freeglut)" -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
  -DFREEGLUT_BUILD_DEMOS=OFF -DINSTALL_PDB=OFF
licences freeglut "$(tree freeglut)/COPYING:COPYING.txt" \
  "$(tree freeglut)/debian/copyright:debian-copyright.txt"
build SDL2 "$(tree libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
licences SDL2 "$(tree libsdl2)/LICENSE.txt:LICENSE.txt" \
  "$(tree libsdl2)/debian/copyright:debian-copyright.txt"
# WAV is all the game plays, and SDL2_mixer reads it with its own code.
build SDL2_mixer "$(tree libsdl2-mixer)" -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF \
  -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF \
  -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS= -DSDL2MIXER_WAVE=ON
licences SDL2_mixer "$(tree libsdl2-mixer)/LICENSE.txt:LICENSE.txt" \
  "$(tree libsdl2-mixer)/debian/copyright:debian-copyright.txt"
# Linked statically into every program: MinGW-w64's start-up code and winpthreads, and GCC's
# libgcc and libstdc++ (GPL 3 with the GCC Runtime Library Exception, whose text the copyright
# file holds).
# The copyright file of the package that ships the start-up code, whatever the release calls it.
runtime=$(dpkg-query -S /usr/x86_64-w64-mingw32/lib/crt2.o | cut -d: -f1)
licences mingw-w64 "/usr/share/doc/$runtime/copyright:debian-copyright.txt"
licences gcc /usr/share/doc/gcc-mingw-w64-base/copyright:debian-copyright.txt \
  /usr/share/common-licenses/GPL-3:GPL-3.txt
build libpng "$(tree libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF
mkdir -p "$work/googletest"
cp -r /usr/src/googletest/. "$work/googletest/"
build GoogleTest "$work/googletest" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON

echo "googletest $gtest" >>"$work/VERSIONS"
sort "$work/VERSIONS" >"$prefix/VERSIONS"
# Older builds go; the sources too, as the next build fetches afresh.
for old in "$cache"/*/; do
  case "$old" in "$prefix/" | "$apt/") ;; *) rm -rf "$old" ;; esac
done
touch "$prefix/.complete"
say "built into $prefix"
echo "$prefix"
