#!/usr/bin/env bash
# Builds Tessaly and starts it from the build folder, which holds the
# manual (documents/) and the default watermark (data/) beside the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Tessaly needs a graphical display and none is set; without one, run: xvfb-run -a $0" >&2
  exit 1
fi
cd build/release
exec ./tessaly
