#!/bin/sh
# Every option that a program's --help lists (and the --help of each of its
# commands with options of their own) appears in its man page.
# Usage: man_options_test.sh BIN_DIR MAN_SOURCE_DIR
set -u
bin=$1 man=$2
failures=0
checked=0

# The programs run without a network: should --help ever fall through to a
# search, it reaches nothing.
isolated() {
  if [ "$(id -u)" -eq 0 ]; then unshare -n "$@"; else unshare -rn "$@"; fi
}

# Options are words that begin with one or two dashes and a letter, at the
# start of a line or after a blank or a bracket.
options_in() {
  grep -oE '(^|[[:space:]|[(])--?[A-Za-z][A-Za-z0-9-]*' | sed 's/^[^-]*//' | sort -u
}

# The page's text with roff's escaped dashes and font changes undone.
page_text() {
  sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$man/$1.1.in"
}

check() {
  program=$1; shift
  help=$(isolated "$bin/$program" "$@" --help) || { echo "FAIL: $program $* --help exits with failure"; failures=$((failures + 1)); return; }
  listed=$(printf '%s\n' "$help" | options_in)
  documented=$(page_text "$program" | options_in)
  for option in $listed; do
    checked=$((checked + 1))
    if ! printf '%s\n' "$documented" | grep -qxF -- "$option"; then
      echo "FAIL: $program $* --help lists $option, its man page does not"
      failures=$((failures + 1))
    fi
  done
}

check fwupgrade-cli
# A command with options of its own has a --help of its own.
if isolated "$bin/fwupgrade-cli" --help | grep -q "^ *fwupgrade-cli fleet"; then check fwupgrade-cli fleet; fi
[ -x "$bin/fwupgrade" ] && check fwupgrade
check fwbundle
for command in control message append list extract; do check fwbundle "$command"; done

[ "$checked" -gt 0 ] || { echo "FAIL: no --help listed any option"; failures=1; }
[ "$failures" -eq 0 ] && echo "all $checked listed options are documented"
[ "$failures" -eq 0 ]
