#!/bin/sh
# HTTP upload of a 32 MB image to routersim over the virtual LAN from the
# Windows build under Wine, against the Linux build in the same LAN. Both
# run httpprobe, the upgrader's own login and upload code with a timer
# around the upload alone: a whole upgrader run would mostly time Wine's
# start-up. ROUNDS rounds (default 5), the two builds taking turns, under
# one Wine server; prints each build's median throughput and their ratio.
# Needs root (network namespaces), Wine and both builds.
# Usage: [ROUNDS=N] bench/wine_http_upload.sh [BUILD_DIR [WINDOWS_BUILD_DIR]]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwuwine "${1:-build}" httpprobe
win=$(cd "${2:-$root/build-win}" && pwd)
[ -f "$win/bin/httpprobe.exe" ] || { echo "missing $win/bin/httpprobe.exe: build build-win" >&2; exit 2; }
router=192.168.1.1
rounds=${ROUNDS:-5}

"$vlan" up "$lan" --router "R1=$router" >/dev/null
mkdir "$work/store" "$work/prefix"
bench_start_router R1 --store-dir "$work/store"

size=33554432
head -c "$size" /dev/urandom > "$work/image.bin"
cp "$win/bin/httpprobe.exe" "$work/"

# Wine's server makes the sockets, so it runs in the PC's namespace too,
# with a prefix of its own; the first start builds the prefix. Each line
# of times is "BUILD MICROSECONDS"; the fixed 300 ms pause before the
# verdict is the protocol's, not the transfer's, and is left out.
"$vlan" exec "$lan" pc -- sh -c '
  cd "$1" || exit 1
  [ "$(readlink /proc/self/ns/net)" != "$(readlink /proc/1/ns/net)" ] || { echo "refused: own namespace" >&2; exit 1; }
  export WINEPREFIX="$1/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  unset DISPLAY WAYLAND_DISPLAY
  wineserver -f -p >wineserver.log 2>&1 &
  server=$!
  trap "wineserver -k; wait $server" EXIT
  timeout 300 wine wineboot --init >/dev/null 2>&1
  # upload NAME PROGRAM: one timed upload, its time added to the file times.
  upload() {
    $2 upload "$router" "" x image.bin:0x080D | tr -d "\r" > last.out
    grep -q "^result 1$" last.out || { cat last.out >&2; exit 1; }
    awk -v name="$1" "\$1 == \"upload-us\" { print name, \$2 - 300000 }" last.out >> times
  }
  router=$2
  round=0
  while [ "$round" -lt "$3" ]; do
    upload linux "$4/bin/httpprobe"
    upload wine "wine httpprobe.exe"
    round=$((round + 1))
  done' sh "$work" "$router" "$rounds" "$build"

for stored in "$work"/store/*-upgrade.bin; do
  cmp -s "$work/image.bin" "$stored" || { echo "$stored did not arrive intact" >&2; exit 1; }
done
[ "$(ls "$work"/store/*-upgrade.bin | wc -l)" -eq $((2 * rounds)) ] || { echo "uploads missing" >&2; exit 1; }

median() { awk -v b="$1" '$1 == b { print $2 }' "$work/times" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
awk -v size="$size" -v rounds="$rounds" -v linux_us="$(median linux)" -v wine_us="$(median wine)" 'BEGIN {
  linux_mbs = size / (linux_us / 1e6) / 1048576
  wine_mbs = size / (wine_us / 1e6) / 1048576
  printf "linux     %8.1f MB/s (median of %d)\n", linux_mbs, rounds
  printf "wine      %8.1f MB/s (median of %d)\n", wine_mbs, rounds
  printf "ratio     %8.2f (Windows build under Wine / Linux build, want >= 0.50)\n", wine_mbs / linux_mbs
}'
