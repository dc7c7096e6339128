#!/usr/bin/env bash
# Run after the assets are made: names the tools here that differ from those the committed
# assets were made with (Debian 12's), and the committed files this run changed. With the
# same package versions every file comes out byte for byte as committed; another ImageMagick
# (a security update of Debian 12's included), sox, CGAL, meshoptimizer, DejaVu or Mesa
# draws, mixes or meshes a little differently.
#   tool_versions.sh <top_dir>
set -euo pipefail

top=$1
# The Debian packages the committed assets were made with: Debian 12 with its security updates.
made_with=(
  "imagemagick 8:6.9.11.60+dfsg-1.6+deb12u16"
  "fonts-dejavu-core 2.37-6"
  "sox 14.4.2+git20190427-3.5"
  "libcgal-dev 5.5.1-2"
  "libmeshoptimizer-dev 0.18+dfsg-2"
  "libgl1-mesa-dri 22.3.6-1+deb12u2"
)

differ=()
for entry in "${made_with[@]}"; do
  package=${entry% *}
  made=${entry#* }
  here=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null || true)
  [ "$here" = "$made" ] || differ+=("  $package ${here:-(not installed)} here, $made then")
done
changed=$(git -C "$top" status --short -- data docs dist/icons src/app/window_icon.cpp)

if [ ${#differ[@]} -eq 0 ]; then
  echo "assets: made with the tool versions of the committed assets (Debian 12)"
else
  echo "assets: these tools differ from those the committed assets were made with (Debian 12):"
  printf '%s\n' "${differ[@]}"
fi
if [ -z "$changed" ]; then
  echo "assets: every file as committed"
else
  echo "assets: these files differ from the committed ones (git checkout -- restores them):"
  echo "$changed"
fi
