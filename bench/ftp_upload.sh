#!/bin/sh
# FTP upload of a 32 MB image to a real FTP server (pyftpdlib, user root)
# over the virtual LAN, against `curl -T` storing the same file on the same
# server in the same (active) mode. The two clients take turns for ROUNDS
# rounds (default 5), so that a busy moment of the shared machine hits both
# alike, and the medians are compared: the server (Python) is the slower
# end, and single runs swing with the load. Prints both throughputs, the
# median ratio with its spread, and the upgrader's peak memory against an
# idle run's.
# Needs root (network namespaces). Usage: [ROUNDS=N] bench/ftp_upload.sh [BUILD_DIR]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwuftp "${1:-build}" ftpprobe
probe=$build/bin/ftpprobe
server=192.168.1.1
password=bench
rounds=${ROUNDS:-5}

"$vlan" up "$lan" --router "R1=$server" >/dev/null
mkdir "$work/home"
bench_start R1 ftp-server /usr/bin/python3 "$root/tests/interop/ftp_server.py" "$work/home" "$password"

size=33554432
head -c "$size" /dev/urandom > "$work/image.bin"
head -c 1 /dev/urandom > "$work/idle.bin"

# check_arrived NAME WHO: the server holds the image under NAME, byte for byte.
check_arrived() {
  cmp -s "$work/image.bin" "$work/home/$1" || { echo "$2's upload did not arrive intact" >&2; exit 1; }
  rm "$work/home/$1"
}

# The idle figure: the same program storing one byte.
"$vlan" exec "$lan" pc -- /usr/bin/time -v -o "$work/idle.txt" "$probe" put "$server" "$password" "$work/idle.bin" \
  > "$work/idle.out" || { cat "$work/idle.out" >&2; exit 1; }
: > "$work/rounds.txt"
round=0
while [ "$round" -lt "$rounds" ]; do
  round=$((round + 1))
  curl_s=$("$vlan" exec "$lan" pc -- curl -s -P - -T "$work/image.bin" -w '%{time_total}' \
    "ftp://root:$password@$server/curl.bin")
  check_arrived curl.bin curl
  "$vlan" exec "$lan" pc -- /usr/bin/time -v -o "$work/time.txt" "$probe" put "$server" "$password" \
    "$work/image.bin" > "$work/probe.out" || { cat "$work/probe.out" >&2; exit 1; }
  check_arrived image.bin "the upgrader"
  # The probe's time covers the login and QUIT as curl's does.
  ours_us=$(awk '$1 == "elapsed-us" { print $2 }' "$work/probe.out")
  peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
  # One line a round: curl's MB/s, ours, their ratio, our peak memory.
  awk -v size="$size" -v curl_s="$curl_s" -v ours_us="$ours_us" -v peak_kb="$peak_kb" 'BEGIN {
    curl_mbs = size / curl_s / 1048576; ours_mbs = size / (ours_us / 1e6) / 1048576
    print curl_mbs, ours_mbs, ours_mbs / curl_mbs, peak_kb }' >> "$work/rounds.txt"
done

# median COLUMN: the middle value of that column over the rounds.
median() {
  cut -d' ' -f"$1" "$work/rounds.txt" | sort -g |
    awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
low=$(cut -d' ' -f3 "$work/rounds.txt" | sort -g | head -1)
high=$(cut -d' ' -f3 "$work/rounds.txt" | sort -g | tail -1)
peak_kb=$(cut -d' ' -f4 "$work/rounds.txt" | sort -n | tail -1)
idle_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/idle.txt")
printf "rounds    %8d (each client in turn)\n" "$rounds"
printf "curl      %8.1f MB/s (median)\n" "$(median 1)"
printf "upgrader  %8.1f MB/s (median)\n" "$(median 2)"
printf "ratio     %8.2f (median upgrader / curl, want >= 0.90; rounds %.2f to %.2f)\n" "$(median 3)" "$low" "$high"
awk -v peak_kb="$peak_kb" -v idle_kb="$idle_kb" 'BEGIN {
  printf "peak RSS  %8.1f MB, idle %.1f MB: %.1f MB above idle (limit 16 MB)\n", peak_kb / 1024, idle_kb / 1024,
    (peak_kb - idle_kb) / 1024 }'
