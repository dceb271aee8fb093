#!/bin/sh
# A full device search with the default flags against ten routers in the
# virtual LAN, once with the PC on that one link and once with a second
# interface holding the default route (every broadcast then leaves twice).
# Prints each wall time against the fixed budget (20 ms timer + seven 200 ms
# waits, plus one echo per answer, each returning as soon as its reply is
# in); the two-interface search must stay within that budget plus 5%, the
# echoes costing what they cost on one interface. The CPU time must stay
# under a tenth of the wall time: the waits sleep, they do not spin.
# Needs root (network namespaces). Usage: bench/search.sh [BUILD_DIR]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwusearch "${1:-build}" searchprobe
probe=$build/bin/searchprobe
budget=$((20 + 7 * 200))

# search_case ROUTE: a fresh LAN with the PC's default route at ROUTE (vlan
# --pc-route), one search; sets answers, wall and cpu.
search_case() {
  routers=""
  for n in 1 2 3 4 5 6 7 8 9 10; do routers="$routers --router R$n=192.168.$((40 + n)).1"; done
  # shellcheck disable=SC2086
  "$vlan" up "$lan" --pc-route "$1" $routers >/dev/null
  for n in 1 2 3 4 5 6 7 8 9 10; do bench_start_router "R$n" --no-web --rom-id "R$n"; done
  "$vlan" exec "$lan" pc -- "$probe" --flags 159 full show 222 >"$work/out" 2>"$work/err"
  end_case
  answers=$(grep -c '^entry ' "$work/out" || true)
  wall=$(sed -n 's/^time wall_ms=\([0-9]*\) .*/\1/p' "$work/err")
  cpu=$(sed -n 's/.* cpu_ms=\([0-9]*\)$/\1/p' "$work/err")
  [ -n "$wall" ] || { cat "$work/err" >&2; exit 1; }
  [ "$answers" -eq 20 ] || { echo "FAIL ($1): expected 20 entries" >&2; cat "$work/out" >&2; exit 1; }
  ratio=$(awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "%.3f", c / w }')
  awk -v r="$ratio" 'BEGIN { exit !(r < 0.1) }' || { echo "FAIL ($1): the search spins (cpu/wall $ratio)" >&2; exit 1; }
}

end_case() {
  bench_stop
  "$vlan" down "$lan" >/dev/null
}

search_case lan
wall1=$wall cpu1=$cpu ratio1=$ratio
search_case wifi
wall2=$wall cpu2=$cpu ratio2=$ratio

echoes=$((wall1 - budget))
limit=$(awk -v b="$budget" -v e="$echoes" 'BEGIN { printf "%d", (b + (e > 0 ? e : 0)) * 1.05 }')
echo "devices listed:        20 in each case (ten routers answering the query and the boot probe)"
echo "budget (waits):        $budget ms (20 ms timer + seven 200 ms waits), plus 20 echoes"
printf '%-22s %12s %12s\n' "" "one link" "two links"
printf '%-22s %9s ms %9s ms\n' "wall time" "$wall1" "$wall2"
printf '%-22s %9s ms %9s ms\n' "cpu time" "$cpu1" "$cpu2"
printf '%-22s %12s %12s\n' "cpu / wall (< 0.1)" "$ratio1" "$ratio2"
echo "echo overhead:         $(awk -v e="$echoes" 'BEGIN { printf "%.2f ms per answer", e / 20 }') (one link)"
echo "two links vs budget:   $wall2 ms against $limit ms (budget + echoes, plus 5%)"
[ "$wall2" -le "$limit" ] || { echo "FAIL: the two-interface search exceeds its budget" >&2; exit 1; }
