#!/usr/bin/env bash
# Builds Tessaly and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$(nproc)"
echo "Tessaly's main window is not built yet; the libraries and tests are."
