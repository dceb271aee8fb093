# Sourced by the benchmarks that run in a virtual LAN (needs root).
# bench_init PREFIX BUILD_DIR TOOL...: sets root, build, vlan, lan, work;
# checks that the build holds each TOOL; removes LAN and files on exit.
# bench_start NODE NAME COMMAND...: a server in NODE's namespace, ready.
# bench_start_router NODE ARGS...: routersim in NODE's namespace, ready.
# bench_stop: stops every server started so far, at the end of a case.

bench_init() {
  prefix=$1
  root=$(cd "$(dirname "$0")/.." && pwd)
  build=$(cd "${2:-build}" && pwd)
  shift 2
  for tool in "$@" routersim; do
    [ -x "$build/bin/$tool" ] || { echo "missing $build/bin/$tool: build the $* routersim targets" >&2; exit 2; }
  done
  vlan=$root/scripts/vlan
  lan=$prefix$$
  work=$(mktemp -d)
  bench_pids=""
  trap bench_cleanup EXIT
  trap 'exit 130' INT TERM
}

# A killed server ends with a status that is not 0 (or is gone already):
# neither may end a bench that runs under set -e.
bench_stop() {
  for p in $bench_pids; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  bench_pids=""
}

# Nor may a second Ctrl+C end the clean-up before the LAN is down.
bench_cleanup() {
  set +e
  trap '' INT TERM
  bench_stop
  "$vlan" down "$lan" >/dev/null 2>&1 || true
  rm -rf "$work"
}

# bench_start NODE NAME COMMAND...: COMMAND in NODE's namespace, its output
# in $work/NAME.out, waited for until it prints "ready".
bench_start() {
  node=$1
  name=$2
  shift 2
  "$vlan" exec "$lan" "$node" -- "$@" >"$work/$name.out" 2>&1 &
  bench_pids="$bench_pids $!"
  i=0
  until grep -q ready "$work/$name.out" 2>/dev/null; do
    i=$((i + 1)); [ "$i" -lt 100 ] || { echo "$name in $node did not start" >&2; exit 1; }
    sleep 0.05
  done
}

bench_start_router() {
  node=$1
  shift
  bench_start "$node" "sim-$node" "$build/bin/routersim" "$@"
}
