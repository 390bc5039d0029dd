#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of
# seconds (default 60): the EXIF readers, the progressive decoder, then the
# settings files' reader.
# Findings land in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_FUZZ=ON -DTESSALY_TESTS=OFF
cmake --build build/fuzz -j"$(nproc)" --target exif_fuzzer progressive_fuzzer settings_fuzzer

mkdir -p build/fuzz/corpus build/fuzz/progressive build/fuzz/settings build/fuzz/findings
cp -n fuzz/seeds/* build/fuzz/corpus/ 2>/dev/null || true
cp -n fuzz/settings-seeds/* build/fuzz/settings/ 2>/dev/null || true
# Small progressive pictures in each sampling, with and without restarts,
# and in the scan scripts of fuzz/scans: bands, and bits refined one by one.
convert -size 40x24 gradient:red-blue build/fuzz/gradient.ppm
for sampling in 1x1 2x1 2x2; do
  for restart in 0 1; do
    seed=build/fuzz/progressive/$sampling-$restart.jpg
    [ -e "$seed" ] || cjpeg -progressive -quality 80 -sample "$sampling" -restart "$restart"B \
      build/fuzz/gradient.ppm > "$seed"
  done
  for script in fuzz/scans/*.txt; do
    seed=build/fuzz/progressive/$sampling-$(basename "$script" .txt).jpg
    [ -e "$seed" ] || cjpeg -quality 30 -sample "$sampling" -scans "$script" build/fuzz/gradient.ppm > "$seed"
  done
done
[ -e build/fuzz/progressive/grey.jpg ] ||
  cjpeg -grayscale -progressive build/fuzz/gradient.ppm > build/fuzz/progressive/grey.jpg

# -close_fd_mask=1: the reader's own stdout lines would drown the report.
for target in exif:corpus progressive:progressive settings:settings; do
  build/fuzz/"${target%%:*}"_fuzzer build/fuzz/"${target#*:}" -max_total_time="$seconds" -close_fd_mask=1 \
    -artifact_prefix=build/fuzz/findings/ -print_final_stats=1
done
echo "fuzz: ${seconds}s for each target, no findings"
