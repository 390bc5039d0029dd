#!/usr/bin/env bash
# Web output on the benchmarks' photos (see bench/web_output.cpp): encodes
# under size limits, and sharpening's time, halo and crops, which go to
# bench/cache/sharpening-crops.png.
#   bench/web_output_bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALY_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target web_output >/dev/null
"$root/bench/corpus.sh" "$root/bench/cache"
"$build/web_output" "$root/bench/cache/sharpening-crops.png" "$root"/bench/cache/photos/*.jpg
