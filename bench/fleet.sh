#!/bin/sh
# fwupgrade-cli fleet against 8 simulated routers (HTTP, 8 MB image each,
# reboot time 0) in the virtual LAN, against one single-router `put` of the
# same image: prints the wall times of the put, of the fleet with --jobs 8
# and with --jobs 1, the ratio of --jobs 8 to the put (goal: at most 1.5),
# and the peak memory of the whole fleet run, parent and children together,
# sampled every 50 ms (goal: at most 64 MB). The program runs stripped, as
# a package installs it: a program without a bundle copies its whole file
# at start (row 0 of the file table), and with debug information that copy
# alone is some 18 MB in every process.
# Needs root (network namespaces). Usage: bench/fleet.sh [BUILD_DIR]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwufleet "${1:-build}" fwupgrade-cli
cli=$work/fwupgrade-cli
strip -o "$cli" "$build/bin/fwupgrade-cli"
routers=8

args=""
n=1
while [ "$n" -le "$routers" ]; do
  args="$args --router R$n=192.168.$((60 + n)).1"
  n=$((n + 1))
done
"$vlan" up "$lan" --pc-route none $args >/dev/null
n=1
while [ "$n" -le "$routers" ]; do
  mkdir "$work/store$n"
  bench_start_router "R$n" --password admin --reboot-delay 0 --store-dir "$work/store$n"
  n=$((n + 1))
done
head -c 8388608 /dev/urandom > "$work/image.bin"

now_ms() { date +%s%3N; }

# The resident memory of every fwupgrade-cli below pid $1, summed, in kB.
tree_rss_kb() {
  ps -e -o pid=,ppid=,rss=,comm= | awk -v top="$1" '
    { parent[$1] = $2; rss[$1] = $3; name[$1] = $4 }
    END {
      for (p in parent) {
        for (q = p; q != "" && q != 0 && q != top; q = parent[q]) {}
        if (q == top && name[p] == "fwupgrade-cli") sum += rss[p]
      }
      print sum + 0
    }'
}

# run_fleet JOBS: wall ms of one fleet run; its peak memory in $work/peakJOBS.
run_fleet() {
  start=$(now_ms)
  "$vlan" exec "$lan" pc -- "$cli" fleet --password admin --romid QRT --jobs "$1" --verify-timeout 30 \
    "$work/image.bin" > "$work/fleet$1.out" 2>&1 &
  pid=$!
  peak_kb=0
  while kill -0 "$pid" 2>/dev/null; do
    kb=$(tree_rss_kb "$pid")
    [ "$kb" -le "$peak_kb" ] || peak_kb=$kb
    sleep 0.05
  done
  wait "$pid" || { cat "$work/fleet$1.out" >&2; echo "fleet --jobs $1 failed" >&2; exit 1; }
  echo "$peak_kb" > "$work/peak$1"
  echo $(($(now_ms) - start))
}

start=$(now_ms)
"$vlan" exec "$lan" pc -- "$cli" put 192.168.61.1 admin null "$work/image.bin" > "$work/put.out" 2>&1 ||
  { cat "$work/put.out" >&2; exit 1; }
put_ms=$(($(now_ms) - start))

jobs8_ms=$(run_fleet 8)
jobs8_peak=$(cat "$work/peak8")
grep -q "^$routers verified" "$work/fleet8.out" || { cat "$work/fleet8.out" >&2; exit 1; }
jobs1_ms=$(run_fleet 1)
jobs1_peak=$(cat "$work/peak1")
for store in "$work"/store*; do
  for f in "$store"/*; do cmp -s "$work/image.bin" "$f" || { echo "$f is not the image" >&2; exit 1; }; done
done

awk -v put="$put_ms" -v j8="$jobs8_ms" -v j1="$jobs1_ms" -v p8="$jobs8_peak" -v p1="$jobs1_peak" 'BEGIN {
  printf "single put      %7.2f s\n", put / 1000
  printf "fleet --jobs 8  %7.2f s   ratio to the put %.2f (goal <= 1.5)\n", j8 / 1000, j8 / put
  printf "fleet --jobs 1  %7.2f s\n", j1 / 1000
  printf "peak memory     %7.1f MB with --jobs 8, %.1f MB with --jobs 1 (goal <= 64)\n", p8 / 1024, p1 / 1024
}'
