#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses the installed programs on the
# installed sample, as someone who installed nivora would.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
for f in bin/nivora bin/nivora-cli bin/nivora-render share/nivora/sample.nivora \
         share/applications/nivora.desktop share/icons/hicolor/scalable/apps/nivora.svg; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
"$prefix/bin/nivora-cli" info "$prefix/share/nivora/sample.nivora" | grep -Eq 'packets stored: +4000' \
  || { echo "the installed nivora-cli does not read the installed sample"; exit 1; }
"$prefix/bin/nivora-cli" render "$prefix/share/nivora/sample.nivora" --out "$prefix/pictures" --range 1-100
[ -s "$prefix/pictures/textrainfall.bmp" ] && [ -s "$prefix/pictures/manifest.json" ] \
  || { echo "the installed renderer wrote no pictures"; exit 1; }
echo "installed and ran from $prefix"
