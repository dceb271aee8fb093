#!/bin/sh
# Start-up extraction of a bundle with a 32 MB firmware image, against cp of
# the same file. Prints both times (best of several runs) and their ratio.
# Usage: bench/startup.sh [BUILD_DIR]   (BUILD_DIR defaults to ./build)
set -eu
build=$(cd "${1:-build}" && pwd)
fwbundle=$build/bin/fwbundle
bench=$build/bin/bench_extract
runs=${RUNS:-7}
for tool in "$fwbundle" "$bench"; do
  [ -x "$tool" ] || { echo "missing $tool: build the fwbundle and bench_extract targets" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head -c 33554432 /dev/urandom > "$work/firmware.bin"
cp "$fwbundle" "$work/program"  # any executable stands in for the upgrade program
"$fwbundle" control -o "$work/control.cfg"
"$fwbundle" append -o "$work/bundled" --exe "$work/program" --control "$work/control.cfg" \
  --upgrade "$work/firmware.bin"
rm "$work/firmware.bin"
mkdir "$work/tmp"

now_ns() { date +%s%N; }
# Smallest of $runs values printed by the function named in $1.
best_of() {
  best=""
  i=0
  while [ "$i" -lt "$runs" ]; do
    took=$("$1")
    if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
    i=$((i + 1))
  done
  echo "$best"
}
# The reader extracts into its own directory under $TMPDIR: the same file
# system as cp's target. Its own clock times start-up without the process
# launch, which the cp figure includes, so the comparison leans against us.
extract_us() { TMPDIR="$work/tmp" "$bench" "$work/bundled" | awk '$1 > 0 { print $2 }'; }
copy_us() {
  start=$(now_ns)
  cp "$work/bundled" "$work/copy"
  end=$(now_ns)
  rm -f "$work/copy"
  echo $(( (end - start) / 1000 ))
}

extract=$(best_of extract_us)
copy=$(best_of copy_us)
echo "bundled program: $(wc -c < "$work/bundled") bytes (32 MiB firmware), best of $runs runs"
echo "start-up extraction: ${extract} us"
echo "cp of the same file: ${copy} us"
awk -v a="$extract" -v b="$copy" 'BEGIN { printf "ratio: %.2f (must stay below 2)\n", a / b }'
