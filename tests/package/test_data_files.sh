#!/usr/bin/env bash
# The installed data files against the standards they follow, with the
# checkers Debian uses, each run only where it is installed (scripts/package
# installs them all): the desktop entry, the software-centre entry, the MIME
# entry, the manual pages (rendered without a warning) and the completion.
set -uo pipefail
source=$1 build=$2
failed=0 ran=0

has() { command -v "$1" > /dev/null; }
run() {   # run WHAT COMMAND...: fails the test when COMMAND fails or prints a warning
  local out status=0
  out=$("${@:2}" 2>&1) || status=$?
  ran=$((ran + 1))
  if [ $status != 0 ] || grep -qiE '^(W|E):|warning|error' <<< "$out"; then
    echo "$1:"; echo "$out"; failed=1
  fi
}

has desktop-file-validate && run "desktop entry" desktop-file-validate "$source/data/nivora.desktop"
has appstreamcli && run "software-centre entry" appstreamcli validate --no-net "$build"/data/*.metainfo.xml
has xmllint && run "MIME entry" xmllint --noout "$source/data/nivora-mime.xml"
if has man; then
  for page in "$build"/manual/*.1; do
    run "manual page $(basename "$page")" \
      bash -c 'LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$1" > /dev/null' _ "$page"
  done
fi
for completion in "$build"/manual/completions/*; do run "completion $(basename "$completion")" bash -n "$completion"; done

[ $ran -gt 0 ] || exit 77   # no checker installed
[ $failed = 0 ] && echo "$ran checks passed"
exit $failed
