#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses the installed programs on the
# installed sample, as someone who installed nivora would.
set -euo pipefail
build=$1 version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
for f in bin/nivora bin/nivora-cli bin/nivora-render share/nivora/sample.nivora \
         share/applications/nivora.desktop share/icons/hicolor/scalable/apps/nivora.svg share/mime/packages/nivora.xml \
         share/man/man1/nivora.1.gz share/man/man1/nivora-cli.1.gz share/man/man1/nivora-render.1.gz \
         share/bash-completion/completions/nivora-cli share/doc/nivora/copyright; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
"$prefix/bin/nivora-cli" info "$prefix/share/nivora/sample.nivora" | grep -Eq 'packets stored: +4000' \
  || { echo "the installed nivora-cli does not read the installed sample"; exit 1; }
"$prefix/bin/nivora-cli" render "$prefix/share/nivora/sample.nivora" --out "$prefix/pictures" --range 1-100
[ -s "$prefix/pictures/textrainfall.bmp" ] && [ -s "$prefix/pictures/manifest.json" ] \
  || { echo "the installed renderer wrote no pictures"; exit 1; }
# A file manager opens captures and datasets with it; --help and --version need no display.
grep -qx 'Exec=nivora %f' "$prefix/share/applications/nivora.desktop" \
  && grep -q '^MimeType=.*application/vnd.tcpdump.pcap;.*application/x-pcapng;' "$prefix/share/applications/nivora.desktop" \
  || { echo "the desktop entry does not open files"; exit 1; }
DISPLAY= QT_QPA_PLATFORM= "$prefix/bin/nivora" --help | grep -q '^usage: nivora \[FILE | -\]' \
  || { echo "nivora --help printed no usage"; exit 1; }
[ "$(DISPLAY= QT_QPA_PLATFORM= "$prefix/bin/nivora" --version)" = "nivora $version" ] || { echo "nivora --version"; exit 1; }
[ "$("$prefix/bin/nivora-cli" --version)" = "nivora-cli $version" ] || { echo "nivora-cli --version"; exit 1; }
status=0; "$prefix/bin/nivora" --bogus 2> /dev/null || status=$?
[ "$status" = 2 ] || { echo "nivora --bogus exited $status, not 2"; exit 1; }
echo "installed and ran from $prefix"
