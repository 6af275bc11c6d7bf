#!/usr/bin/env bash
# The man pages, --version and the shell completion, against the programs:
#   man_test.sh pages      MANDIR           each page renders, groff warns of nothing
#   man_test.sh options    MANDIR TOOLDIR COMPLETION VERSION
#                          every option a tool's --help names is in its page
#                          and offered by the completion; --version is right
#   man_test.sh completion COMPLETION WORK  file names filtered per place
set -euo pipefail
mode=$1

# COMPREPLY for the command line "$@", the last word being completed.
complete_line() {
    local script=$1
    shift
    bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$0"
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        _qmv
        printf "%s\n" "${COMPREPLY[@]}" | sort' "$script" "$@"
}

case $mode in
pages)
  for page in "$2"/*.1 "$2"/*.5; do
    warnings=$(groff -man -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
    lines=$(MANWIDTH=80 man -l "$page" 2>/dev/null | wc -l)
    [ "$lines" -gt 15 ] || { echo "$page renders to $lines lines"; exit 1; }
  done
  ;;
options)
  mandir=$2 tooldir=$3 completion=$4 version=$5
  for tool in qmv-dump qmv-render qmv-as qmv-dis; do
    [ "$("$tooldir/$tool" --version)" = "$tool $version" ] || { echo "$tool --version"; exit 1; }
    page=$(MANWIDTH=200 man -l "$mandir/$tool.1" 2>/dev/null)
    offered=$(complete_line "$completion" "$tool" -)
    for option in $("$tooldir/$tool" --help | grep -oE '^  -{1,2}[a-z][a-z-]*' | tr -d ' '); do
      grep -qF -- "$option" <<<"$page" || { echo "$tool: $option is not in its page"; exit 1; }
      grep -qxF -- "$option" <<<"$offered" || { echo "$tool: $option is not completed"; exit 1; }
    done
  done
  ;;
completion)
  completion=$2 work=$3
  rm -rf "$work"
  mkdir -p "$work/maps"
  cd "$work"
  touch a.png b.qmv c.qmvz d.qmvt
  expect() {
    local want=$1
    shift
    local got
    got=$(complete_line "$completion" "$@" | tr '\n' ' ')
    [ "$got" = "$want" ] || { echo "$*: got '$got', want '$want'"; exit 1; }
  }
  expect "--events " qmv-dump --ev
  expect "b.qmv c.qmvz maps " qmv-dump ""
  expect "b.qmv c.qmvz maps " qmv-viewer ""
  expect "a.png maps " qmv-render b.qmv -o ""
  expect "a.png maps " qmv-render --thumbnail 256 b.qmv ""
  expect "b.qmv c.qmvz maps " qmv-render --thumbnail 256 ""
  expect "d.qmvt maps " qmv-as ""
  expect "d.qmvt maps " qmv-dis b.qmv -o ""
  ;;
*)
  echo "man_test.sh: no mode $mode" >&2
  exit 2
  ;;
esac
