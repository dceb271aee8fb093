#!/bin/sh
# The window thread's responsiveness during an HTTP upgrade of a 32 MB image
# to routersim in the virtual LAN: a 10 ms probe timer on the window loop,
# and the longest stall it saw while the worker sent. Needs root.
# Usage: bench/window_stall.sh [BUILD_DIR]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwustall "${1:-build}" bench_window_stall
router=192.168.1.254

"$vlan" up "$lan" --router "R1=$router" >/dev/null
mkdir "$work/store"
bench_start_router R1 --password bench --store-dir "$work/store"

head -c 33554432 /dev/urandom > "$work/image.bin"
"$vlan" exec "$lan" pc -- "$build/bin/bench_window_stall" put "$router" bench null "$work/image.bin" 2>/dev/null |
  tail -n 3
cmp -s "$work/image.bin" "$work/store/1-upgrade.bin" || { echo "the upload did not arrive intact" >&2; exit 1; }
