#!/bin/sh
# An attended console run against the unattended put of the same 8 MB
# image over HTTP, in the virtual LAN. The attended run is timed from the
# Enter that ends the password to the program's end (its verdict line is
# its last word); the put from its start to its end. Rounds take turns
# (ROUNDS, default 5) and every process runs on CPUs 0 and 1; prints both
# medians and their ratio, which is to stay at or below 1.05.
# Needs root (network namespaces). Usage: [ROUNDS=N] bench/attended_upload.sh [BUILD_DIR]
set -eu
if [ -z "${FWU_BENCH_PINNED:-}" ] && command -v taskset >/dev/null 2>&1; then
  FWU_BENCH_PINNED=1 exec taskset -c 0,1 sh "$0" "$@"
fi
. "$(dirname "$0")/lan_bench.sh"
bench_init fwuattend "${1:-build}" fwupgrade-cli
cli=$build/bin/fwupgrade-cli
router=192.168.123.254
rounds=${ROUNDS:-5}

"$vlan" up "$lan" --router "R1=$router" >/dev/null
mkdir "$work/store"
# Back-to-back upgrades: no reboot pause after each one.
bench_start_router R1 --password admin --reboot-delay 0 --store-dir "$work/store"
head -c 8388608 /dev/urandom > "$work/image.bin"

now_us() { echo $(($(date +%s%N) / 1000)); }
# check_arrived WHO: the router holds the image byte for byte.
check_arrived() {
  stored=$(ls "$work/store")
  cmp -s "$work/image.bin" "$work/store/$stored" || { echo "$1's upload did not arrive intact" >&2; exit 1; }
  rm -f "$work/store/$stored"
}

: > "$work/rounds.txt"
round=0
while [ "$round" -lt "$rounds" ]; do
  round=$((round + 1))
  start=$(now_us)
  "$vlan" exec "$lan" pc -- "$cli" put "$router" admin null "$work/image.bin" >/dev/null 2>"$work/put.err" \
    || { cat "$work/put.err" >&2; exit 1; }
  put_us=$(($(now_us) - start))
  check_arrived put

  rm -f "$work/in"
  mkfifo "$work/in"
  "$vlan" exec "$lan" pc -- "$cli" "$work/image.bin" <"$work/in" >/dev/null 2>"$work/attended.err" &
  pid=$!
  exec 3>"$work/in"
  printf '1\n' >&3
  i=0
  until grep -q 'Password: ' "$work/attended.err"; do
    i=$((i + 1)); [ "$i" -lt 600 ] || { cat "$work/attended.err" >&2; exit 1; }
    sleep 0.01
  done
  start=$(now_us)
  printf 'admin\n' >&3
  wait "$pid" || { cat "$work/attended.err" >&2; exit 1; }
  attended_us=$(($(now_us) - start))
  exec 3>&-
  grep -q '^fwupgrade: .* upgraded by HTTP' "$work/attended.err" || { cat "$work/attended.err" >&2; exit 1; }
  check_arrived "the attended run"
  echo "$put_us $attended_us" >> "$work/rounds.txt"
done

awk '
function median(a, n,    i, j, t) {
  for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
  return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
}
{ n++; put[n] = $1 / 1e6; attended[n] = $2 / 1e6; ratio[n] = $2 / $1 }
END {
  printf "rounds    %6d (each run in turn, CPUs 0-1, 8 MB over HTTP)\n", n
  printf "put       %6.2f s (median, start to end)\n", median(put, n)
  printf "attended  %6.2f s (median, Enter to the verdict)\n", median(attended, n)
  printf "ratio     %6.2f (median attended / put, want <= 1.05)\n", median(ratio, n)
}' "$work/rounds.txt"
