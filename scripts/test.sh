#!/usr/bin/env bash
# Builds and runs every test: the release build (warnings are errors), the
# same tests under AddressSanitizer and UBSan, and a short fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTESSALY_WERROR=ON -DTESSALY_BENCH=ON
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure

cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DTESSALY_SANITIZE=ON
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan --output-on-failure

./scripts/fuzz.sh "${TESSALY_FUZZ_SECONDS:-30}"
