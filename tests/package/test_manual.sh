#!/usr/bin/env bash
# Every option --help names is documented in the manual page: an option tag
# (the line after .TP) of that command's section, or of the page for the
# program's own --help. The pages are written from the tables that give
# --help, so this fails when an option is added to a usage line or a parser
# without its row in the table.
set -euo pipefail
build=$1
bin=$build/bin
failed=0

# The options a --help text names: -x or --word, after a space, bracket, bar or comma.
optionsOf() { grep -oE '(^|[][ ,|])--?[A-Za-z][A-Za-z0-9-]*' | sed -E 's/^[][ ,|]//' | sort -u; }

# The options documented by the tags of a page, or of its ".SS NAME" section.
documented() {
  awk -v section="$2" '
    /^\.S[HS] / { inside = section == "" || $0 == ".SS " section; next }
    inside && tag { print } { tag = inside && $0 == ".TP" }' "$1" |
    grep -oE '\\fB[^\\]*(\\-[^\\]*)*\\fR' | sed -E 's/\\fB|\\fR//g; s/\\-/-/g' | sort -u
}

check() {   # check WHAT PAGE SECTION < help text
  local missing
  missing=$(comm -23 <(optionsOf) <(documented "$2" "$3"))
  if [ -n "$missing" ]; then
    echo "$1: --help names options the manual does not document:" $missing
    failed=1
  fi
}

check "nivora" "$build/manual/nivora.1" "" < <(DISPLAY= QT_QPA_PLATFORM= "$bin/nivora" --help)
check "nivora-cli" "$build/manual/nivora-cli.1" "" < <("$bin/nivora-cli" --help)
commands=$("$bin/nivora-cli" --help | sed -n '/^commands:/,/^$/p' | awk 'NR > 1 && /^  [a-z]/ { print $1 }')
[ -n "$commands" ] || { echo "nivora-cli --help lists no commands"; exit 1; }
for command in $commands; do
  grep -qx ".SS $command" "$build/manual/nivora-cli.1" || { echo "the manual has no section for $command"; failed=1; }
  check "nivora-cli $command" "$build/manual/nivora-cli.1" "$command" < <("$bin/nivora-cli" "$command" --help)
done
[ $failed = 0 ] && echo "every option of --help is in the manual:" $commands
exit $failed
