#!/usr/bin/env bash
# Builds the EXIF reader's fuzz target with clang and runs it for the given
# number of seconds (default 60). Findings land in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_FUZZ=ON -DTESSALY_TESTS=OFF
cmake --build build/fuzz -j"$(nproc)" --target exif_fuzzer

mkdir -p build/fuzz/corpus build/fuzz/findings
cp -n fuzz/seeds/* build/fuzz/corpus/ 2>/dev/null || true
# -close_fd_mask=1: the reader's own stdout lines would drown the report.
build/fuzz/exif_fuzzer build/fuzz/corpus -max_total_time="$seconds" -close_fd_mask=1 \
  -artifact_prefix=build/fuzz/findings/ -print_final_stats=1
echo "fuzz: ${seconds}s, no findings"
