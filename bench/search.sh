#!/bin/sh
# A full device search with the default flags against ten routers in the
# virtual LAN. Prints the wall time against its budget (seven 200 ms waits,
# plus one echo per answer, each of which returns as soon as its reply is
# in) and the CPU time against the wall time, which must stay under a tenth:
# the waits sleep, they do not spin.
# Needs root (network namespaces). Usage: bench/search.sh [BUILD_DIR]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwusearch "${1:-build}" searchprobe
probe=$build/bin/searchprobe

routers=""
for n in 1 2 3 4 5 6 7 8 9 10; do routers="$routers --router R$n=192.168.$((40 + n)).1"; done
# shellcheck disable=SC2086
"$vlan" up "$lan" $routers >/dev/null
for n in 1 2 3 4 5 6 7 8 9 10; do bench_start_router "R$n" --no-web --rom-id "R$n"; done

"$vlan" exec "$lan" pc -- "$probe" --flags 159 full show 222 >"$work/out" 2>"$work/err"
answers=$(grep -c '^entry ' "$work/out" || true)
wall=$(sed -n 's/^time wall_ms=\([0-9]*\) .*/\1/p' "$work/err")
cpu=$(sed -n 's/.* cpu_ms=\([0-9]*\)$/\1/p' "$work/err")
[ -n "$wall" ] || { cat "$work/err" >&2; exit 1; }
budget=$((20 + 7 * 200))
echo "devices listed:    $answers (ten routers answering the query and the boot probe)"
echo "wall time:         $wall ms"
echo "budget (waits):    $budget ms (20 ms timer + seven 200 ms waits), plus $answers echoes"
echo "echo overhead:     $(awk -v w="$wall" -v b="$budget" -v n="$answers" 'BEGIN { if (n > 0) printf "%.2f ms per answer", (w - b) / n; else print "n/a" }')"
echo "cpu time:          $cpu ms"
ratio=$(awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "%.3f", c / w }')
echo "cpu / wall:        $ratio (must be under 0.1)"
awk -v r="$ratio" 'BEGIN { exit !(r < 0.1) }' || { echo "FAIL: the search spins" >&2; exit 1; }
[ "$answers" -eq 20 ] || { echo "FAIL: expected 20 entries" >&2; cat "$work/out" >&2; exit 1; }
