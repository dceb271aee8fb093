#!/bin/sh
# HTTP upload of a 32 MB image to routersim over the virtual LAN, against
# curl posting the same body bytes to the same server. One run each; prints
# both throughputs, their ratio and the upgrader's peak memory.
# Needs root (network namespaces). Usage: bench/http_upload.sh [BUILD_DIR]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwubench "${1:-build}" httpprobe
probe=$build/bin/httpprobe
router=192.168.1.1

"$vlan" up "$lan" --router "R1=$router" >/dev/null
mkdir "$work/store"
bench_start_router R1 --store-dir "$work/store"

size=33554432
head -c "$size" /dev/urandom > "$work/image.bin"
# The body the upgrader sends: part header, image, closing text.
printf -- '-----------------123456789\r\nContent-Disposition: from-data; name="FN"; filename="upgrade.bin" \r\nContent-Type: application/octet-stream \r\n\r\n' > "$work/body.bin"
cat "$work/image.bin" >> "$work/body.bin"
printf '\r\n----\r\n' >> "$work/body.bin"

# No "Expect: 100-continue": curl would wait a second for an interim answer
# the router never sends.
curl_s=$("$vlan" exec "$lan" pc -- curl -s -o /dev/null -w '%{time_total}' -H 'Expect:' \
  -H 'Content-Type: multipart/form-data: boundary=-----------------123456789' \
  --data-binary "@$work/body.bin" "http://$router/upg")
cmp -s "$work/image.bin" "$work/store/1-upgrade.bin" || { echo "curl's upload did not arrive intact" >&2; exit 1; }

"$vlan" exec "$lan" pc -- /usr/bin/time -v -o "$work/time.txt" \
  "$probe" upload "$router" '' x "$work/image.bin:0x080D" > "$work/probe.out"
grep -q '^result 1$' "$work/probe.out" || { cat "$work/probe.out" >&2; exit 1; }
cmp -s "$work/image.bin" "$work/store/2-upgrade.bin" || { echo "our upload did not arrive intact" >&2; exit 1; }

# The upgrader waits a fixed 300 ms before it reads the router's verdict;
# that pause belongs to the protocol, not to the transfer. The router may
# still be draining its socket during the pause, so the figure with the
# pause left out can flatter us by what the socket buffers hold; the figure
# with the pause kept is the protocol's own worst case.
whole_us=$(awk '$1 == "upload-us" { print $2 }' "$work/probe.out")
ours_us=$((whole_us - 300000))
peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
awk -v size="$size" -v curl_s="$curl_s" -v ours_us="$ours_us" -v whole_us="$whole_us" -v peak_kb="$peak_kb" 'BEGIN {
  curl_mbs = size / curl_s / 1048576
  ours_mbs = size / (ours_us / 1e6) / 1048576
  whole_mbs = size / (whole_us / 1e6) / 1048576
  printf "curl      %8.1f MB/s\n", curl_mbs
  printf "upgrader  %8.1f MB/s without the 300 ms pause, %.1f MB/s with it\n", ours_mbs, whole_mbs
  printf "ratio     %8.2f (upgrader / curl, want >= 0.90; %.2f with the pause)\n", ours_mbs / curl_mbs, whole_mbs / curl_mbs
  printf "peak RSS  %8.1f MB (limit 2 x 32 + 16 = 80 MB)\n", peak_kb / 1024
}'
