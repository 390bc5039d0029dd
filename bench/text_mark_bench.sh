#!/usr/bin/env bash
# The cost of a text mark against the picture mark: the same batch (fit
# into 800, turn upright, quality 82, one picture after another) on the
# benchmarks' photos with the default watermark at 10 % and with the text
# "© {artist|Jane Doe} {year}", alternating, into a fresh folder each time.
# Prints each run's wall time and the ratio of the medians (target: 1.05
# or less: the text is drawn once per size, not once per picture).
#   bench/text_mark_bench.sh [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
build=$root/build/release
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target tessaly-batch >/dev/null
"$root/bench/corpus.sh" "$root/bench/cache"
photos=$root/bench/cache/photos
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
common=(--size 800 --quality 82 --jobs 1 --position bottom-right --margin 2 --yes --quiet)
picture=(--watermark "$build/data/wm.png" --watermark-size 10)
text=(--text "© {artist|Jane Doe} {year}")

seconds() {
    rm -rf "$out/result"
    local start end
    start=$(date +%s.%N)
    "$build/tessaly-batch" "${common[@]}" "$@" --output "$out/result" "$photos" >/dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

: >"$out/picture" && : >"$out/text"
for round in $(seq 1 "$rounds"); do
    p=$(seconds "${picture[@]}") && t=$(seconds "${text[@]}")
    echo "round $round: picture mark $p s, text mark $t s"
    echo "$p" >>"$out/picture" && echo "$t" >>"$out/text"
done
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
awk -v p="$(median "$out/picture")" -v t="$(median "$out/text")" \
    'BEGIN { printf "median: picture mark %.2f s, text mark %.2f s, ratio %.3f (target <= 1.05)\n", p, t, t / p }'
