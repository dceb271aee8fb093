#!/bin/sh
# TFTP write of a 4 MB image over the virtual LAN: the upgrader's TFTP window
# to routersim's boot loader, against tftp-hpa's client putting the same file
# to tftpd-hpa in the same LAN (both lock-step, 512-byte blocks). Lock-step
# time is round trips, which the machine's other load shifts from run to
# run, so the two take turns for ROUNDS rounds and the medians are compared.
# Prints both times, their ratio and both CPU times.
# Needs root (network namespaces). Usage: bench/tftp.sh [BUILD_DIR] [ROUNDS]
set -eu
. "$(dirname "$0")/lan_bench.sh"
bench_init fwutftp "${1:-build}" bench_tftp_send
rounds=${2:-5}
for tool in tftp in.tftpd; do
  command -v "$tool" >/dev/null || { echo "missing $tool: scripts/install-deps installs tftp-hpa and tftpd-hpa" >&2; exit 2; }
done
sim=192.168.1.1
hpa=192.168.1.2

"$vlan" up "$lan" --router "R1=$sim" --router "R2=$hpa" >/dev/null
mkdir "$work/store" "$work/tftpboot"
chmod 0777 "$work/tftpboot"
bench_start_router R1 --crashed --store-dir "$work/store"
# --secure: the server chroots into the directory before it drops to nobody.
"$vlan" exec "$lan" R2 -- in.tftpd --listen --foreground --address 0.0.0.0:69 --create --secure \
  --user nobody "$work/tftpboot" >"$work/tftpd.out" 2>&1 &
bench_pids="$bench_pids $!"
i=0
until "$vlan" exec "$lan" R2 -- ss -Hlun 'sport = :69' | grep -q .; do
  i=$((i + 1)); [ "$i" -lt 100 ] || { cat "$work/tftpd.out" >&2; echo "in.tftpd did not start" >&2; exit 1; }
  sleep 0.05
done

size=4194304
head -c "$size" /dev/urandom > "$work/image.bin"

round=1
while [ "$round" -le "$rounds" ]; do
  rm -f "$work/tftpboot/image.bin"
  # The tftp client's own time and CPU, from its start to its end.
  "$vlan" exec "$lan" pc -- /usr/bin/time -f 'hpa %e %U %S' -a -o "$work/times" \
    tftp -m binary "$hpa" -c put "$work/image.bin" image.bin >"$work/hpa.out" 2>&1
  cmp -s "$work/image.bin" "$work/tftpboot/image.bin" ||
    { cat "$work/hpa.out" >&2; echo "tftp-hpa's put did not arrive intact" >&2; exit 1; }
  "$vlan" exec "$lan" pc -- "$build/bin/bench_tftp_send" "$sim" "$work/image.bin" >> "$work/times"
  cmp -s "$work/image.bin" "$work/store/$round-image.bin" || { echo "our transfer did not arrive intact" >&2; exit 1; }
  round=$((round + 1))
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
hpa_s=$(awk '$1 == "hpa" { print $2 }' "$work/times" | median)
hpa_cpu=$(awk '$1 == "hpa" { print $3 + $4 }' "$work/times" | median)
ours_s=$(awk '$1 == "wall" { print $2 }' "$work/times" | median)
ours_cpu=$(awk '$1 == "wall" { print $4 }' "$work/times" | median)
resent=$(awk '$1 == "wall" { n += $6 } END { print n + 0 }' "$work/times")
awk -v size="$size" -v rounds="$rounds" -v hpa_s="$hpa_s" -v hpa_cpu="$hpa_cpu" -v ours_s="$ours_s" \
  -v ours_cpu="$ours_cpu" -v resent="$resent" -v load="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
  printf "medians of %d rounds, 4 MB each; machine load %s\n", rounds, load
  printf "tftp-hpa  %7.3f s  %6.1f KB/s  cpu %.3f s\n", hpa_s, size / hpa_s / 1024, hpa_cpu
  printf "upgrader  %7.3f s  %6.1f KB/s  cpu %.3f s  (%d datagrams sent again in all)\n", ours_s, size / ours_s / 1024, ours_cpu, resent
  printf "time      %7.2f (upgrader / tftp-hpa, want <= 1.10)\n", ours_s / hpa_s
  if (hpa_cpu > 0) printf "cpu       %7.2f (upgrader / tftp-hpa, want <= 2.00)\n", ours_cpu / hpa_cpu
  else printf "cpu       tftp-hpa used under 10 ms, too little for a ratio\n"
}'
