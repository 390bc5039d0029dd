#!/usr/bin/env bash
# The Windows build of tessaly-batch under Wine against the Linux build on
# the benchmark's 30 photos (fit into 800, quality 82, helpers on every
# core), alternating, on fresh copies: the medians of the wall times, Wine's
# own start-up (tessaly-batch.exe --version) apart, and how many results
# differ in their pixels.
#   bench/windows_bench.sh [rounds]      (default 5; after scripts/build-windows.sh
#                                         build/windows and bench/batch_bench.sh once)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
linux=$root/build/release/tessaly-batch
windows=$root/build/windows/tessaly-batch.exe
photos=$root/bench/cache/photos
work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
unset DISPLAY
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wine wineboot -i >/dev/null 2>&1
wineserver -w
# Wine's server stays up between runs, as it does for a user.
wineserver -p

median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
seconds() { /usr/bin/time -f %e -o "$work/time" "$@" >/dev/null 2>&1; cat "$work/time"; }
: > "$work/linux"; : > "$work/windows"; : > "$work/start"
for round in $(seq "$rounds"); do
  rm -rf "$work/l" "$work/w"; cp -r "$photos" "$work/l"; cp -r "$photos" "$work/w"
  seconds "$linux" -s 800 -Q 82 -y -o "$work/l/out" "$work/l" >> "$work/linux"
  seconds wine "$windows" -s 800 -Q 82 -y -o "$(winepath -w "$work/w/out")" "$(winepath -w "$work/w")" >> "$work/windows"
  seconds wine "$windows" --version >> "$work/start"
done
# The files differ in the processing record, whose digest names each
# system's path to the original; the pixels are compared.
differ=0
for f in "$work"/l/out/*.jpg; do
  [ "$(compare -metric AE "$f" "$work/w/out/$(basename "$f")" null: 2>&1)" = 0 ] ||
    differ=$((differ + 1))
done
l=$(median < "$work/linux"); w=$(median < "$work/windows"); s=$(median < "$work/start")
echo "medians of $rounds rounds: Linux $l s, Windows under Wine $w s, of which Wine's start $s s"
echo "Windows / Linux, start-up aside: $(echo "scale=2; ($w - $s) / $l" | bc -l)   (target <= 1.20)"
echo "Windows / Linux, all told: $(echo "scale=2; $w / $l" | bc -l); results whose pixels differ: $differ of $(ls "$work/l/out" | wc -l)"
