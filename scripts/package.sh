#!/usr/bin/env bash
# Builds the Debian package into <out_dir> (default build/) and checks it with lintian,
# desktop-file-validate and appstreamcli; any error, or a lintian warning, fails the run.
#   scripts/package.sh [<out_dir>]
# The build runs in a copy of the source tree, so the tree itself stays clean.
set -euo pipefail
# A make above us must not hand its job server to the package build.
unset MAKEFLAGS MFLAGS MAKELEVEL

root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "${1:-$root/build}"
out="$(cd "${1:-$root/build}" && pwd)"
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
arch=$(dpkg --print-architecture)
stage=$(mktemp -d /tmp/vantreska-package-XXXXXX)
trap 'rm -rf "$stage"' EXIT

excludes=(--exclude-vcs --exclude='./build*' --exclude=./tools/.work --exclude='./obj-*')
case "$out/" in "$root"/*) excludes+=(--exclude="./${out#"$root"/}") ;; esac
mkdir "$stage/vantreska-$version"
tar -C "$root" "${excludes[@]}" -cf - . | tar -C "$stage/vantreska-$version" -xf -

echo "package: building vantreska $version (log: $out/package-build.log)"
if ! (cd "$stage/vantreska-$version" &&
      DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -b -us -uc) >"$out/package-build.log" 2>&1; then
  tail -n 40 "$out/package-build.log"
  echo "package: dpkg-buildpackage failed" >&2
  exit 1
fi
rm -f "$out"/vantreska_*.deb "$out"/vantreska-dbgsym_*.deb
cp "$stage"/*.deb "$out/"
deb="$out/vantreska_${version}_${arch}.deb"
echo "package: $deb"

status=0
echo "package: lintian"
# lintian asks not to be run as root; as root it runs as nobody, which can read the stage.
lintian_cmd=(lintian --fail-on error,warning --display-info "$stage/vantreska_${version}_${arch}.changes")
if [ "$(id -u)" -eq 0 ]; then
  chmod -R a+rX "$stage"
  lintian_cmd=(setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$stage" "${lintian_cmd[@]}")
fi
"${lintian_cmd[@]}" || status=1

dpkg-deb -x "$deb" "$stage/root"
echo "package: desktop-file-validate"
desktop-file-validate "$stage/root/usr/share/applications/vantreska.desktop" || status=1
echo "package: appstreamcli validate"
appstreamcli validate --no-net "$stage"/root/usr/share/metainfo/*.metainfo.xml || status=1

[ $status -eq 0 ] || { echo "package: a check failed (see above)" >&2; exit 1; }
echo "package: all checks passed"
