#!/bin/sh
# HTTP upload of a 32 MB image to routersim over the virtual LAN from the
# Windows build under Wine, against the Linux build in the same LAN. Both
# run httpprobe, the upgrader's own login and upload code with a timer
# around the upload alone: a whole upgrader run would mostly time Wine's
# start-up. One run each; prints both throughputs and their ratio.
# Needs root (network namespaces), Wine and both builds.
# Usage: bench/wine_http_upload.sh [BUILD_DIR [WINDOWS_BUILD_DIR]]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwuwine "${1:-build}" httpprobe
win=$(cd "${2:-$root/build-win}" && pwd)
[ -f "$win/bin/httpprobe.exe" ] || { echo "missing $win/bin/httpprobe.exe: build build-win" >&2; exit 2; }
router=192.168.1.1

"$vlan" up "$lan" --router "R1=$router" >/dev/null
mkdir "$work/store" "$work/prefix"
bench_start_router R1 --store-dir "$work/store"

size=33554432
head -c "$size" /dev/urandom > "$work/image.bin"
cp "$win/bin/httpprobe.exe" "$work/"

"$vlan" exec "$lan" pc -- "$build/bin/httpprobe" upload "$router" '' x "$work/image.bin:0x080D" > "$work/linux.out"
grep -q '^result 1$' "$work/linux.out" || { cat "$work/linux.out" >&2; exit 1; }
cmp -s "$work/image.bin" "$work/store/1-upgrade.bin" || { echo "the Linux upload did not arrive intact" >&2; exit 1; }

# Wine's server makes the sockets, so it runs in the PC's namespace too,
# with a prefix of its own; the first start builds the prefix.
"$vlan" exec "$lan" pc -- sh -c '
  cd "$1" || exit 1
  [ "$(readlink /proc/self/ns/net)" != "$(readlink /proc/1/ns/net)" ] || { echo "refused: own namespace" >&2; exit 1; }
  export WINEPREFIX="$1/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  unset DISPLAY WAYLAND_DISPLAY
  wineserver -f -p >wineserver.log 2>&1 &
  server=$!
  timeout 300 wine wineboot --init >/dev/null 2>&1
  wine httpprobe.exe upload "$2" "" x image.bin:0x080D > wine.out
  status=$?
  wineserver -k; wait $server
  exit $status' sh "$work" "$router" || { cat "$work/wine.out" >&2; exit 1; }
# Windows ends its text lines with CR LF.
tr -d '\r' < "$work/wine.out" > "$work/wine.txt"
grep -q '^result 1$' "$work/wine.txt" || { cat "$work/wine.txt" >&2; exit 1; }
cmp -s "$work/image.bin" "$work/store/2-upgrade.bin" || { echo "the Wine upload did not arrive intact" >&2; exit 1; }

# As in http_upload.sh: the fixed 300 ms pause before the verdict is the
# protocol's, not the transfer's, and is left out of both figures.
linux_us=$(awk '$1 == "upload-us" { print $2 - 300000 }' "$work/linux.out")
wine_us=$(awk '$1 == "upload-us" { print $2 - 300000 }' "$work/wine.txt")
awk -v size="$size" -v linux_us="$linux_us" -v wine_us="$wine_us" 'BEGIN {
  linux_mbs = size / (linux_us / 1e6) / 1048576
  wine_mbs = size / (wine_us / 1e6) / 1048576
  printf "linux     %8.1f MB/s\n", linux_mbs
  printf "wine      %8.1f MB/s\n", wine_mbs
  printf "ratio     %8.2f (Windows build under Wine / Linux build, want >= 0.50)\n", wine_mbs / linux_mbs
}'
