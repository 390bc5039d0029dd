#!/usr/bin/env bash
# Two presets in one run against the same two presets run one after the
# other, on the benchmarks' photos: "web" (long side 1600, quality 85) and
# "thumbs" (the 400 box). One run decodes each photo once for both.
# Alternating, on fresh output folders; prints the median wall and CPU
# seconds of each way and their ratio.
#   bench/presets_bench.sh [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
build=$root/build/release
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALY_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target tessaly-batch >/dev/null
"$root/bench/corpus.sh" "$root/bench/cache"
photos=$root/bench/cache/photos
batch=$build/tessaly-batch

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
"$batch" --save-preset web --fit long:1600 --quality 85 --output "$work/out/web" 2>/dev/null
"$batch" --save-preset thumbs --size 400 --output "$work/out/thumbs" 2>/dev/null

# Wall and CPU seconds of a command, on a fresh output folder.
timed() {
  rm -rf "$work/out"
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" >/dev/null 2>&1
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/time"
}
one_run()  { timed "$batch" --preset web --preset thumbs --yes --quiet "$photos"; }
two_runs() {
  timed bash -c "'$batch' --preset web --yes --quiet '$photos' && '$batch' --preset thumbs --yes --quiet '$photos'"
}
for ((i = 0; i < rounds; i++)); do
  one_run >> "$work/one"
  two_runs >> "$work/two"
done
median() { sort -n -k"$2" "$1" | awk -v k="$2" '{ v[NR] = $k } END { print v[int((NR + 1) / 2)] }'; }
printf 'photos: %d, rounds: %d\n' "$(ls "$photos"/*.jpg | wc -l)" "$rounds"
printf 'one run, both presets:  %s s wall, %s s CPU\n' "$(median "$work/one" 1)" "$(median "$work/one" 2)"
printf 'two runs, one each:     %s s wall, %s s CPU\n' "$(median "$work/two" 1)" "$(median "$work/two" 2)"
awk -v a="$(median "$work/one" 1)" -v b="$(median "$work/two" 1)" -v c="$(median "$work/one" 2)" \
    -v d="$(median "$work/two" 2)" 'BEGIN { printf "one run / two runs: %.2f wall, %.2f CPU\n", a / b, c / d }'
