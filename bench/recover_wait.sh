#!/bin/sh
# fwupgrade-cli recover --wait in the virtual LAN, two links and no gateway:
# the CPU time it takes while waiting 60 s for a router that never comes
# (goal: under 1% of one core), and how long after a crashed router's boot
# loader starts answering the run finds it, median of 10 runs (goal: at most
# 1.5 s). The router is started at a different point of the probe's one
# second period each time; found means the run's --log holds its
# router-start, polled every 20 ms, after the router printed ready (seen
# up to 50 ms late: the figure may be that much too good).
# Needs root (network namespaces). Usage: bench/recover_wait.sh [BUILD_DIR]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwurecover "${1:-build}" fwupgrade-cli
cli=$build/bin/fwupgrade-cli
"$vlan" up "$lan" --pc-route none --router R1=192.168.71.1 --router R2=192.168.72.1 >/dev/null
head -c 20000 /dev/urandom > "$work/image.bin"

cpu=$("$vlan" exec "$lan" pc -- /usr/bin/time -f "%U %S %e" "$cli" recover --wait --timeout 60 \
  "$work/image.bin" 2>&1 >/dev/null </dev/null | tail -n 1)

now_ms() { date +%s%3N; }

run=1
: > "$work/latencies"
while [ "$run" -le 10 ]; do
  log=$work/run$run.jsonl
  "$vlan" exec "$lan" pc -- "$cli" recover --wait --timeout 30 --verify-timeout 1 --log "$log" \
    "$work/image.bin" >"$work/recover$run.out" 2>&1 </dev/null &
  recover=$!
  # Somewhere in the probe's period, different each run.
  sleep "1.$((run * 97 % 10))"
  bench_start_router R1 --crashed --reboot-delay 0
  sim=$!
  ready=$(now_ms)
  i=0
  until grep -q '"router-start"' "$log" 2>/dev/null; do
    i=$((i + 1)); [ "$i" -lt 1000 ] || { cat "$work/recover$run.out" >&2; echo "never found" >&2; exit 1; }
    sleep 0.02
  done
  echo $(($(now_ms) - ready)) >> "$work/latencies"
  wait "$recover" || true
  kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null || true
  run=$((run + 1))
done

echo "$cpu" | awk '{ printf "CPU while waiting  %.2f s user + %.2f s system over %.1f s: %.2f%% of one core (goal < 1%%)\n", $1, $2, $3, ($1 + $2) * 100 / $3 }'
sort -n "$work/latencies" | awk '{ v[NR] = $1 } END {
  printf "found after        median %.2f s, min %.2f s, max %.2f s over %d runs (goal median <= 1.5 s)\n",
         (v[5] + v[6]) / 2000, v[1] / 1000, v[NR] / 1000, NR }'
