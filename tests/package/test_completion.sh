#!/usr/bin/env bash
# The bash completion offers, for the words typed so far, what a user expects:
# commands, options, files by suffix, adapters, pictures and controls.
# Needs bash-completion's helpers (installed by scripts/install-deps).
set -uo pipefail
build=$(realpath "$1")
framework=/usr/share/bash-completion/bash_completion
[ -r "$framework" ] || exit 77
source "$framework"
source "$build/manual/completions/nivora-cli"
source "$build/manual/completions/nivora"
PATH=$build/bin:$PATH
cd "$(mktemp -d)" && trap 'rm -rf "$PWD"' EXIT
mkdir pictures && touch a.pcap b.nivora c.pcapng notes.txt

failed=0
# expect "WORDS TYPED" "WORDS OFFERED" ["WORDS NOT OFFERED"]: the last typed word is being completed.
expect() {
  read -ra COMP_WORDS <<< "$1"
  [[ $1 == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$1 COMP_POINT=${#1}
  COMPREPLY=()
  "_${COMP_WORDS[0]//-/_}" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local offered=" ${COMPREPLY[*]} " word
  for word in $2; do [[ $offered == *" $word "* ]] || { echo "'$1' does not offer $word: $offered"; failed=1; }; done
  for word in ${3-}; do [[ $offered != *" $word "* ]] || { echo "'$1' offers $word: $offered"; failed=1; }; done
}

expect "nivora-cli ren"                "render"
expect "nivora-cli "                   "capture convert fields info interfaces pick render synth --help --version"
expect "nivora-cli fields --"          "--labels --time --window --help"
expect "nivora-cli info "              "a.pcap b.nivora c.pcapng pictures" "notes.txt"
expect "nivora-cli convert a.pcap "    "a.pcap b.nivora pictures" "c.pcapng notes.txt"
expect "nivora-cli convert --window 1-9 a.pcap " "b.nivora" "c.pcapng notes.txt"
expect "nivora-cli synth --count "     "" "a.pcap b.nivora"
expect "nivora-cli capture -i "        "lo"
expect "nivora-cli capture -i lo -w "  "a.pcap b.nivora" "c.pcapng notes.txt"
expect "nivora-cli render a.pcap --out " "pictures" "a.pcap"
expect "nivora-cli render a.pcap --format " "bmp png"
expect "nivora-cli pick a.pcap --view text" "textrainfall"
expect "nivora-cli pick a.pcap --view combined_" "combined_left"
expect "nivora-cli render a.pcap --set frmVis1.cmbVisM" "frmVis1.cmbVisMode="
expect "nivora-cli render a.pcap --set frmVis4.radScroll[1]=t" "frmVis4.radScroll[1]=true"
expect "nivora "                       "a.pcap b.nivora c.pcapng" "notes.txt"
expect "nivora --"                     "--help --version"
[ $failed = 0 ] && echo "the completion offers what was expected"
exit $failed
