#!/usr/bin/env bash
# Builds the Debian source and binary packages into <out_dir> (default build/), checks them
# with lintian (pedantic), desktop-file-validate and appstreamcli, and runs the package's
# autopkgtest. A failed check, a warning in the build log or any tag lintian shows (info and
# pedantic ones included; experimental ones are not shown) fails the run, but for four tags
# that only say the release at hand differs from Debian 12, which the same debian/ is for
# (below).
#   scripts/package.sh [<out_dir>]
# The upstream tarball vantreska_<version>.orig.tar.gz holds the files git would commit now:
# tracked files as they stand, uncommitted changes included and deleted files left out, and
# new files that are not ignored; debian/ is not part of it. The build runs in a copy of
# those files, so the tree itself stays clean.
set -euo pipefail
# A make above us must not hand its job server to the package build.
unset MAKEFLAGS MFLAGS MAKELEVEL

root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "${1:-$root/build}"
out="$(cd "${1:-$root/build}" && pwd)"
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
upstream=${version%-*}
arch=$(dpkg --print-architecture)
policy_releases=/usr/share/lintian/data/debian-policy/releases.json
stage=$(mktemp -d /tmp/vantreska-package-XXXXXX)
trap 'rm -rf "$stage"' EXIT
if ! git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "package: $root is not a git checkout; the upstream tarball is made from one" >&2
  exit 1
fi

# The file list, without an output directory inside the tree that git does not ignore.
rel_out=${out#"$root"/}
(cd "$root" && git ls-files -z --cached --others --exclude-standard) |
  while IFS= read -r -d '' f; do
    case "$f" in "$rel_out"/*) continue ;; esac
    if [ -e "$root/$f" ] || [ -L "$root/$f" ]; then printf '%s\0' "$f"; fi
  done >"$stage/files"
src="vantreska-$upstream"
mkdir "$stage/$src"
tar -C "$root" --null -T "$stage/files" -cf - | tar -C "$stage/$src" -xf -
# The same files give the same tarball: sorted names, the changelog's time, owner root.
tar -C "$stage" --sort=name --mtime="@$(dpkg-parsechangelog -l "$root/debian/changelog" -S Timestamp)" \
  --owner=0 --group=0 --numeric-owner --mode=u=rwX,go=rX --exclude="$src/debian" -cf - "$src" |
  gzip -9n >"$stage/vantreska_$upstream.orig.tar.gz"

echo "package: building vantreska $version (log: $out/package-build.log)"
if ! (cd "$stage/$src" &&
      DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$(nproc)" \
        dpkg-buildpackage -us -uc) >"$out/package-build.log" 2>&1; then
  tail -n 40 "$out/package-build.log"
  echo "package: dpkg-buildpackage failed" >&2
  exit 1
fi
rm -f "$out"/vantreska_"$upstream"* "$out"/vantreska-dbgsym_*
cp "$stage"/vantreska_"$upstream"* "$stage"/vantreska-dbgsym_* "$out/"
changes="$out/vantreska_${version}_${arch}.changes"
deb="$out/vantreska_${version}_${arch}.deb"
echo "package: $changes"

status=0
# Warnings of the build tools (dpkg-source, dpkg-shlibdeps' needless links, the compiler).
if grep -E '(^|: )warning: ' "$out/package-build.log"; then
  echo "package: the build gave warnings (above)" >&2
  status=1
fi

echo "package: lintian (source and binary packages)"
lintian_cmd=(lintian --pedantic --display-info --fail-on error,warning,info,pedantic)
left_out=()
# Standards-Version names the newest Debian Policy the package follows. The lintian of an
# older release does not know that version yet and says so (newer-standards-version): that
# one tag, and only there, is left out.
standards=$(sed -n 's/^Standards-Version: *//p' "$root/debian/control")
if [ -f "$policy_releases" ] &&
   ! grep -Eq "\"version\" *: *\"${standards//./\\.}(\\.0)*\"" "$policy_releases"; then
  echo "package: this lintian does not know Debian Policy $standards"
  left_out+=(newer-standards-version)
fi
# The same debian/ builds on Debian 12, so it keeps debhelper compat level 13, the newest
# Debian 12 has, and the Priority and Rules-Requires-Root fields its dpkg needs (it warns
# without a Priority; its Rules-Requires-Root default is binary-targets). A newer release's
# lintian calls those old or redundant: those three tags are left out where lintian has them.
for tag in package-uses-old-debhelper-compat-version redundant-priority-optional-field \
    redundant-rules-requires-root-no-field; do
  if lintian-explain-tags "$tag" >/dev/null 2>&1; then
    left_out+=("$tag")
  fi
done
if [ ${#left_out[@]} -gt 0 ]; then
  echo "package: left out here: ${left_out[*]}"
  lintian_cmd+=(--suppress-tags "$(IFS=,; echo "${left_out[*]}")")
fi
lintian_cmd+=("$stage/vantreska_${version}_${arch}.changes")
# lintian asks not to be run as root; as root it runs as nobody, which can read the stage.
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

echo "package: autopkgtest (log: $out/autopkgtest.log)"
if [ "$(id -u)" -ne 0 ]; then
  echo "package: autopkgtest not run: its null runner installs the package, which needs root"
else
  # The null runner tests this machine, so the package is installed here first and purged
  # again unless it was there before. apt installs it (offline, its dependencies being
  # installed already); autopkgtest's own way with built binaries would add an apt source and
  # update every source from the network afterwards. One run at a time on this machine; apt
  # waits for any other apt or dpkg at work.
  exec 9>/tmp/vantreska-autopkgtest.lock
  flock 9
  installed=$(dpkg-query -W -f='${db:Status-Status}' vantreska 2>/dev/null || true)
  if ! { DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=600 \
           --reinstall "$deb" &&
         autopkgtest --no-built-binaries "$out/vantreska_$version.dsc" -- null; } \
       >"$out/autopkgtest.log" 2>&1; then
    tail -n 40 "$out/autopkgtest.log"
    status=1
  else
    sed -n '/@@@@@@@@@@@@@@@@@@@@ summary/,$p' "$out/autopkgtest.log"
  fi
  [ "$installed" = installed ] ||
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q -o DPkg::Lock::Timeout=600 vantreska >/dev/null
  exec 9>&-
fi

[ $status -eq 0 ] || { echo "package: a check failed (see above)" >&2; exit 1; }
echo "package: all checks passed"
