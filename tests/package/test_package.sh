#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked into a fresh root (dpkg -x,
# which needs no rights), its programs run from there, its manual pages
# rendered without a warning, its version the programs' own, and nothing in
# it that would stay behind on removal (no maintainer scripts, no conffiles).
set -euo pipefail
deb=$(realpath "$1")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
usr=$root/usr
fail() { echo "$deb: $*"; exit 1; }

for f in bin/nivora bin/nivora-cli bin/nivora-render share/nivora/sample.nivora \
         share/applications/nivora.desktop share/icons/hicolor/scalable/apps/nivora.svg \
         share/mime/packages/nivora.xml share/man/man1/nivora.1.gz share/man/man1/nivora-cli.1.gz \
         share/man/man1/nivora-render.1.gz share/bash-completion/completions/nivora-cli \
         share/bash-completion/completions/nivora share/doc/nivora/copyright share/doc/nivora/changelog.gz; do
  [ -e "$usr/$f" ] || fail "holds no $f"
done
ls "$usr"/share/metainfo/*.metainfo.xml > /dev/null || fail "holds no software-centre entry"

version=$(dpkg-deb -f "$deb" Version)
[ "$("$usr/bin/nivora-cli" --version)" = "nivora-cli $version" ] || fail "nivora-cli --version is not $version"
[ "$(QT_QPA_PLATFORM=offscreen "$usr/bin/nivora" --version)" = "nivora $version" ] || fail "nivora --version is not $version"
grep -q "release version=\"$version\"" "$usr"/share/metainfo/*.metainfo.xml || fail "the software centre's release is not $version"
zcat "$usr/share/man/man1/nivora-cli.1.gz" | grep -q "\"nivora $version\"" || fail "the manual is not of $version"
"$usr/bin/nivora-cli" info "$usr/share/nivora/sample.nivora" | grep -Eq '^packets stored: +4000$' \
  || fail "its nivora-cli does not read its sample"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6' <<< "$depends" && grep -q 'fonts-liberation' <<< "$depends" || fail "lacks Qt or its fonts among its dependencies: $depends"

for page in "$usr"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page") renders with warnings: $warnings"
done

control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t)
grep -Eq 'preinst|postinst|prerm|postrm|conffiles' <<< "$control" && fail "has maintainer scripts or conffiles: $control"
echo "$(basename "$deb") unpacked, ran and rendered its manual pages"
