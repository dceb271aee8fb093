#!/bin/sh
# HTTP upload of a 32 MB image to routersim over the virtual LAN, against
# curl posting the same body bytes to the same server. Every process runs
# on CPUs 0 and 1 (a two-core machine), and the two clients take turns for
# ROUNDS rounds (default 5), so that a busy moment of the machine hits both
# alike; prints the median throughputs, the median ratio with its spread
# and the upgrader's peak memory.
# Needs root (network namespaces). Usage: [ROUNDS=N] bench/http_upload.sh [BUILD_DIR]
set -eu
if [ -z "${FWU_BENCH_PINNED:-}" ] && command -v taskset >/dev/null 2>&1; then
  FWU_BENCH_PINNED=1 exec taskset -c 0,1 sh "$0" "$@"
fi
. "$(dirname "$0")/lan_bench.sh"
bench_init fwubench "${1:-build}" httpprobe
probe=$build/bin/httpprobe
router=192.168.1.1
rounds=${ROUNDS:-5}

"$vlan" up "$lan" --router "R1=$router" >/dev/null
mkdir "$work/store"
bench_start_router R1 --store-dir "$work/store"

size=33554432
head -c "$size" /dev/urandom > "$work/image.bin"
# The body the upgrader sends: part header, image, closing text.
printf -- '-----------------123456789\r\nContent-Disposition: from-data; name="FN"; filename="upgrade.bin" \r\nContent-Type: application/octet-stream \r\n\r\n' > "$work/body.bin"
cat "$work/image.bin" >> "$work/body.bin"
printf '\r\n----\r\n' >> "$work/body.bin"

# check_arrived N WHO: the router's Nth upload is the image, byte for byte.
check_arrived() {
  cmp -s "$work/image.bin" "$work/store/$1-upgrade.bin" || { echo "$2's upload did not arrive intact" >&2; exit 1; }
  rm -f "$work/store/$1-upgrade.bin"
}

: > "$work/rounds.txt"
upload=0
round=0
while [ "$round" -lt "$rounds" ]; do
  round=$((round + 1))
  # No "Expect: 100-continue": curl would wait a second for an interim
  # answer the router never sends.
  curl_s=$("$vlan" exec "$lan" pc -- curl -s -o /dev/null -w '%{time_total}' -H 'Expect:' \
    -H 'Content-Type: multipart/form-data: boundary=-----------------123456789' \
    --data-binary "@$work/body.bin" "http://$router/upg")
  upload=$((upload + 1)); check_arrived "$upload" curl

  "$vlan" exec "$lan" pc -- /usr/bin/time -v -o "$work/time.txt" \
    "$probe" upload "$router" '' x "$work/image.bin:0x080D" > "$work/probe.out"
  grep -q '^result 1$' "$work/probe.out" || { cat "$work/probe.out" >&2; exit 1; }
  upload=$((upload + 1)); check_arrived "$upload" "the upgrader"

  whole_us=$(awk '$1 == "upload-us" { print $2 }' "$work/probe.out")
  peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
  echo "$curl_s $whole_us $peak_kb" >> "$work/rounds.txt"
done

# The upgrader waits a fixed 300 ms before it reads the router's verdict;
# that pause belongs to the protocol, not to the transfer. The router may
# still be draining its socket during the pause, so the figure with the
# pause left out can flatter us by what the socket buffers hold; the figure
# with the pause kept is the protocol's own worst case.
awk -v size="$size" '
function median(a, n,    i, j, t) {
  for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
  return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
}
{
  n++
  curl[n] = size / $1 / 1048576
  ours[n] = size / (($2 - 300000) / 1e6) / 1048576
  whole[n] = size / ($2 / 1e6) / 1048576
  ratio[n] = ours[n] / curl[n]
  paused[n] = whole[n] / curl[n]
  if (n == 1 || ratio[n] < low) low = ratio[n]
  if (n == 1 || ratio[n] > high) high = ratio[n]
  if ($3 > peak) peak = $3
}
END {
  printf "rounds    %8d (each client in turn, CPUs 0-1)\n", n
  printf "curl      %8.1f MB/s (median)\n", median(curl, n)
  printf "upgrader  %8.1f MB/s without the 300 ms pause, %.1f MB/s with it (medians)\n", median(ours, n), median(whole, n)
  printf "ratio     %8.2f (median upgrader / curl, want >= 0.90; rounds %.2f to %.2f; %.2f with the pause)\n",
         median(ratio, n), low, high, median(paused, n)
  printf "peak RSS  %8.1f MB (limit 2 x 32 + 16 = 80 MB)\n", peak / 1024
}' "$work/rounds.txt"
