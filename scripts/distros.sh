#!/usr/bin/env bash
# Tests the committed tree (HEAD) on minimal roots of the Debian releases, one after another,
# and prints a verdict line and the time for each.
#   scripts/distros.sh [<release>...]
# A release is a suite name, -i386 for a 32-bit root: bookworm, trixie and sid run
# `make run` and `make test` in a fresh clone; bookworm-i386 builds the binary package from the
# clone's debian/ with its build-time unit tests. Default: bookworm trixie sid bookworm-i386.
#
# Each root is made by debootstrap (minbase, plus git and make, as a new user's machine would
# start) from the Debian archive this machine's apt uses, and kept under DISTROS_CACHE
# (default /var/cache/vantreska-distros): the packages scripts/setup.sh installs there stay for
# the next run, so a second run costs the clone and the build. A root older than
# DISTROS_MAX_AGE days (default 7) is made afresh. DISTROS_MIRROR overrides the archive.
# Logs: <build>/distros/<release>.log.
#
# Everything that runs in a root runs in its own mount and PID namespaces, with /proc, /sys
# (read-only), /dev, /dev/shm and a private /tmp mounted inside: when the run ends, however
# it ends, the kernel drops those mounts and ends every process left in the root; nothing is
# mounted on the host.
set -euo pipefail

if [ "${1:-}" = --in-root ]; then
  # Internal: PID 1 of the root's namespaces. Mounts, then runs the command in the root.
  root=$2 tmp=$3
  shift 3
  mount -t proc proc "$root/proc"
  mount -t sysfs -o ro sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  # Its own terminals: /dev/ptmx opens the instance mounted beside it.
  mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$root/dev/pts"
  mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
  mount --bind "$tmp" "$root/tmp"
  # As PID 1 this shell gets no signal it does not trap. The command runs in the background
  # (so ignoring Ctrl-C) while this shell waits, ready to end on one; when it ends, the
  # kernel ends everything else in the namespace.
  trap 'exit 130' INT
  trap 'exit 143' TERM
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@" &
  wait $!
  exit
fi

self="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
repo="$(cd "$(dirname "$0")/.." && pwd)"
cache=${DISTROS_CACHE:-/var/cache/vantreska-distros}
max_age=${DISTROS_MAX_AGE:-7}
logs="$repo/build/distros"
releases=("$@")
[ ${#releases[@]} -gt 0 ] || releases=(bookworm trixie sid bookworm-i386)

die() { echo "distros: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, chroot and mounts)"
case "$cache/" in "$repo"/*) die "DISTROS_CACHE must lie outside the source tree" ;; esac
sha=$(git -C "$repo" rev-parse HEAD) || die "$repo is not a git checkout"

# The archives apt uses here: the first Debian release source (not -updates or -security),
# and the security archive beside it.
sources=$(apt-get indextargets --no-release-info --format '$(TARGET_OF) $(RELEASE) $(REPO_URI)' \
  2>/dev/null | awk '$1 == "deb"' || true)
mirror=${DISTROS_MIRROR:-$(awk '$2 !~ /-/ { print $3; exit }' <<<"$sources")}
security=${DISTROS_SECURITY_MIRROR:-$(awk '$2 ~ /-security$/ { print $3; exit }' <<<"$sources")}
[ -n "$mirror" ] || die "found no Debian archive in apt's sources; set DISTROS_MIRROR"

# Nothing of ours may stay mounted: a namespace's mounts go with it, but say so if any did.
check_mounts() {
  local left
  left=$(findmnt -rn -o TARGET | grep -F "$cache/" || true)
  if [ -n "$left" ]; then
    echo "distros: still mounted, unmounting: $left" >&2
    echo "$left" | sort -r | xargs -r -n1 umount -l
  fi
}
trap check_mounts EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

in_namespaces() {
  unshare --mount --pid --fork --kill-child --propagation private -- "$@"
}

duration() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

# Makes the root of a release unless a young enough one is there.
make_root() {
  local suite=$1 arch=$2 dir=$3
  if [ -f "$dir/made" ] && [ -n "$(find "$dir/made" -mtime -"$max_age")" ]; then
    return 0
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  root_made=1
  echo "distros: $suite $arch: making a minimal root from $mirror"
  in_namespaces debootstrap --variant=minbase --arch="$arch" --include=git,make \
    "$suite" "$dir/root" "$mirror" >"$dir/debootstrap.log" 2>&1 ||
    { tail -n 20 "$dir/debootstrap.log"; return 1; }
  # A release's updates and security updates, as an installed Debian has them.
  if [ "$suite" != sid ]; then
    echo "deb $mirror $suite-updates main" >>"$dir/root/etc/apt/sources.list"
    [ -z "$security" ] ||
      echo "deb $security $suite-security main" >>"$dir/root/etc/apt/sources.list"
  fi
  # Services that packages bring stay stopped in a root.
  printf '#!/bin/sh\nexit 101\n' >"$dir/root/usr/sbin/policy-rc.d"
  chmod 755 "$dir/root/usr/sbin/policy-rc.d"
  # The archive may be a mirror frozen on a day: unstable's Release file then outlives its
  # week of validity. Its signature is still checked.
  echo 'Acquire::Check-Valid-Until "false";' >"$dir/root/etc/apt/apt.conf.d/99valid-until"
  mkdir -m 1777 "$dir/tmp"
  in_namespaces "$self" --in-root "$dir/root" "$dir/tmp" /bin/sh -c \
    'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get dist-upgrade -y -qq' ||
    return 1
  date -u +%FT%TZ >"$dir/made"
}

# Clones the commit under test into the root's /build/vantreska.
clone_into() {
  local dest=$1/build/vantreska
  rm -rf "$dest"
  mkdir -p "$dest"
  git -C "$dest" init -q
  git -C "$dest" fetch -q --depth 1 "file://$repo" "$sha"
  git -C "$dest" checkout -q --detach FETCH_HEAD
}

# Runs one release's steps in its root and prints the verdict with the time taken, and the
# time the root took when it had to be made.
run_release() {
  local name=$1 suite arch dir log start made steps verdict
  suite=${name%-i386}
  arch=amd64
  [ "$suite" = "$name" ] || arch=i386
  dir="$cache/$name"
  log="$logs/$name.log"
  mkdir -p "$cache" "$logs"
  exec 9>"$cache/$name.lock"
  flock 9
  start=$SECONDS
  root_made=0
  : >"$log"
  if ! make_root "$suite" "$arch" "$dir" >>"$log" 2>&1; then
    cat "$log"
    echo "distros: $name ($arch): FAIL: no root ($(duration $((SECONDS - start))))"
    return 1
  fi
  made=$((SECONDS - start))
  cp /etc/resolv.conf "$dir/root/etc/resolv.conf"
  clone_into "$dir/root" >>"$log" 2>&1
  if [ "$arch" = amd64 ]; then
    steps='make run && make test'
  else
    # The package's own build: its build dependencies, then the binary package, whose build
    # runs the unit suite.
    steps='scripts/setup.sh package-build && dpkg-buildpackage -us -uc -b'
  fi
  echo "distros: $name ($arch): $steps (log: $log)"
  # A private /tmp on disk (a package build stages its copy there), empty at each run.
  rm -rf "$dir/tmp"
  mkdir -m 1777 "$dir/tmp"
  verdict=PASS
  in_namespaces "$self" --in-root "$dir/root" "$dir/tmp" /bin/sh -c \
    "cd /build/vantreska && $steps" >>"$log" 2>&1 || verdict=FAIL
  rm -rf "$dir/tmp"
  [ $verdict = PASS ] || tail -n 40 "$log"
  echo "distros: $name ($arch): $verdict in $(duration $((SECONDS - start)))$(
    [ $root_made -eq 0 ] || echo " (a new root, made in $(duration $made))")"
  exec 9>&-
  [ $verdict = PASS ]
}

# In a function, read whole before it runs: a checkout that changes this file during a run
# does not change the run.
main() {
  local r failed=()
  for r in "${releases[@]}"; do
    case "$r" in
      bookworm | trixie | sid | bookworm-i386) ;;
      *) die "unknown release $r (bookworm, trixie, sid, bookworm-i386)" ;;
    esac
  done
  echo "distros: testing $sha on ${releases[*]} (roots in $cache)"
  for r in "${releases[@]}"; do
    run_release "$r" || failed+=("$r")
  done
  if [ ${#failed[@]} -gt 0 ]; then
    echo "distros: failed: ${failed[*]}"
    exit 1
  fi
  echo "distros: all passed"
  exit 0
}
main
