#!/usr/bin/env bash
# Builds Tessaly and takes screenshots of the main, Preferences, About and
# statistics windows in a virtual X server (default folder: screenshots/).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$(nproc)"
out=$(mkdir -p "${1:-screenshots}" && cd "${1:-screenshots}" && pwd)
tests/e2e/run.sh build/release "$out"
# Cut to the window, as plain 8-bit RGB for the manual's PDF pages.
for shot in "$out"/*.png; do convert "$shot" -trim +repage "PNG24:$shot"; done
echo "screenshots in $out"
