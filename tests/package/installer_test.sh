#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix: a silent install puts
# the programs under Program Files, the installed console upgrader answers
# --version, and a silent uninstall leaves nothing behind. Wine's server
# makes the sockets of the programs it serves, so it and they run inside an
# empty network namespace: a --version that fell through to a search would
# reach nothing.
# Usage: installer_test.sh fwupgrade-setup.exe VERSION
set -euo pipefail
setup=$(realpath "$1")
version=$2

if [ "${FWU_EMPTY_NETNS:-}" != 1 ]; then
  isolate=(unshare -n)
  [ "$(id -u)" -eq 0 ] || isolate=(unshare -rn)
  exec env FWU_EMPTY_NETNS=1 "${isolate[@]}" "$0" "$@"
fi
[ "$(readlink /proc/self/ns/net)" != "$(readlink /proc/1/ns/net)" ] ||
  { echo "installer_test: refused in the machine's own network namespace" >&2; exit 1; }

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/fwu-setup-XXXXXX")
# No add-ons fetched, and no menu entries made for the desktop of this machine.
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

timeout 300 wine wineboot --init >/dev/null 2>&1
installed="$WINEPREFIX/drive_c/Program Files/fwupgrade"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Firmware Upgrade.lnk"

timeout 120 wine "$setup" /S
wineserver -w
[ -f "$installed/uninstall.exe" ] || fail "no uninstaller in $installed"
for program in fwupgrade-cli fwbundle; do
  out=$(timeout 60 wine "$installed/$program.exe" --version 2>&1 | tr -d '\r') || fail "$program.exe --version exits with failure"
  [[ $out == "$program $version (commit "* ]] || fail "$program.exe --version says: $out"
done
if [ -f "$installed/fwupgrade.exe" ]; then
  [ -f "$shortcut" ] || fail "the window has no Start-menu entry"
fi
wineserver -w
grep -q 'Uninstall\\\\fwupgrade\]' "$WINEPREFIX/system.reg" || fail "the uninstaller is not registered"

# The uninstaller runs from a copy of itself in the temporary directory,
# so that it can delete itself: wait for every process of the prefix.
timeout 120 wine "C:\\Program Files\\fwupgrade\\uninstall.exe" /S
wineserver -w
[ ! -e "$installed" ] || fail "uninstall left: $(ls -A "$installed")"
[ ! -e "$shortcut" ] || fail "uninstall left the Start-menu entry"
! grep -q 'Uninstall\\\\fwupgrade\]' "$WINEPREFIX/system.reg" || fail "uninstall left its registry key"

[ "$failures" -eq 0 ] && echo "installer: installed silently, ran, uninstalled without a trace"
[ "$failures" -eq 0 ]
