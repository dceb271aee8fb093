#!/bin/sh
# The Windows window under Wine: time from starting fwupgrade.exe to its
# window on screen, with Wine's server already warm, ROUNDS rounds (default
# 5), median against the goal of 1 s; and what the window adds to the size
# of the console program, against the goal of 200 KB. Runs in an empty
# network namespace (loopback only) with a virtual display, so the search
# the window starts reaches nothing. Needs root, Xvfb, xwininfo and Wine.
# Usage: [ROUNDS=N] bench/wine_window_start.sh [WINDOWS_BUILD_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "${1:-$root/build-win}" && pwd)
for program in fwupgrade.exe fwupgrade-cli.exe; do
  [ -f "$win/bin/$program" ] || { echo "missing $win/bin/$program: build build-win" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$win/bin/fwupgrade.exe" "$work/"

unshare -n sh -c '
  set -eu
  cd "$1"
  ip link set lo up
  export WINEPREFIX="$1/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  mkdir -p "$WINEPREFIX"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display 2>/dev/null &
  xvfb=$!
  wineserver -f -p >/dev/null 2>&1 &
  server=$!
  trap "wineserver -k; wait $server; kill $xvfb" EXIT
  for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
  export DISPLAY=:$(cat display)
  timeout 300 wine wineboot --init >/dev/null 2>&1
  shown() { xwininfo -root -tree 2>/dev/null | grep -q "\"Firmware Upgrade  V1.1.1\": (\"fwupgrade.exe\""; }
  round=0
  while [ "$round" -lt "$2" ]; do
    start=$(date +%s%N)
    wine fwupgrade.exe >/dev/null 2>&1 &
    program=$!
    i=0
    until shown || [ $i -ge 1000 ]; do i=$((i + 1)); sleep 0.005; done
    echo $((($(date +%s%N) - start) / 1000000)) >> times
    kill $program; wait $program 2>/dev/null || true
    round=$((round + 1))
  done' sh "$work" "${ROUNDS:-5}"

median=$(sort -n "$work/times" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
window=$(stat -c %s "$win/bin/fwupgrade.exe")
console=$(stat -c %s "$win/bin/fwupgrade-cli.exe")
awk -v ms="$median" -v window="$window" -v console="$console" 'BEGIN {
  printf "start to window: median %d ms, ratio to the 1000 ms goal %.2f\n", ms, ms / 1000
  printf "fwupgrade.exe %d bytes, fwupgrade-cli.exe %d bytes: %+.1f KB, ratio to the 200 KB goal %.2f\n",
         window, console, (window - console) / 1024, (window - console) / 1024 / 200
}'
