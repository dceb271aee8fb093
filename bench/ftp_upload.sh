#!/bin/sh
# FTP upload of a 32 MB image to a real FTP server (pyftpdlib, user root)
# over the virtual LAN, against `curl -T` storing the same file on the same
# server in the same (active) mode. Three runs each, taken in turn, and the
# best of each kept: the machine is shared, and the server (Python) is the
# slower end, so single runs swing with the load. Prints both throughputs,
# their ratio, and the upgrader's peak memory against an idle run's.
# Needs root (network namespaces). Usage: bench/ftp_upload.sh [BUILD_DIR]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwuftp "${1:-build}" ftpprobe
probe=$build/bin/ftpprobe
server=192.168.1.1
password=bench

"$vlan" up "$lan" --router "R1=$server" >/dev/null
mkdir "$work/home"
bench_start R1 ftp-server /usr/bin/python3 "$root/tests/interop/ftp_server.py" "$work/home" "$password"

size=33554432
head -c "$size" /dev/urandom > "$work/image.bin"
head -c 1 /dev/urandom > "$work/idle.bin"

# The idle figure: the same program storing one byte.
"$vlan" exec "$lan" pc -- /usr/bin/time -v -o "$work/idle.txt" "$probe" put "$server" "$password" "$work/idle.bin" \
  > "$work/idle.out" || { cat "$work/idle.out" >&2; exit 1; }
for run in 1 2 3; do
  "$vlan" exec "$lan" pc -- curl -s -P - -T "$work/image.bin" -w '%{time_total}\n' \
    "ftp://root:$password@$server/curl.bin" >> "$work/curl.times"
  cmp -s "$work/image.bin" "$work/home/curl.bin" || { echo "curl's upload did not arrive intact" >&2; exit 1; }
  rm "$work/home/curl.bin"
  "$vlan" exec "$lan" pc -- /usr/bin/time -v -o "$work/time$run.txt" "$probe" put "$server" "$password" \
    "$work/image.bin" > "$work/probe.out" || { cat "$work/probe.out" >&2; exit 1; }
  cmp -s "$work/image.bin" "$work/home/image.bin" || { echo "our upload did not arrive intact" >&2; exit 1; }
  rm "$work/home/image.bin"
  awk '$1 == "elapsed-us" { print $2 }' "$work/probe.out" >> "$work/ours.times"
done

# The probe's time covers the login and QUIT as curl's does.
curl_s=$(sort -g "$work/curl.times" | head -1)
ours_us=$(sort -n "$work/ours.times" | head -1)
idle_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/idle.txt")
peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work"/time?.txt | sort -n | tail -1)
awk -v size="$size" -v curl_s="$curl_s" -v ours_us="$ours_us" -v idle_kb="$idle_kb" -v peak_kb="$peak_kb" 'BEGIN {
  curl_mbs = size / curl_s / 1048576
  ours_mbs = size / (ours_us / 1e6) / 1048576
  printf "curl      %8.1f MB/s\n", curl_mbs
  printf "upgrader  %8.1f MB/s\n", ours_mbs
  printf "ratio     %8.2f (upgrader / curl, want >= 0.90)\n", ours_mbs / curl_mbs
  printf "peak RSS  %8.1f MB, idle %.1f MB: %.1f MB above idle (limit 16 MB)\n", peak_kb / 1024, idle_kb / 1024,
    (peak_kb - idle_kb) / 1024
}'
