#!/usr/bin/env bash
# Renders the application icon's PNG sizes from data/icons/tessaly.svg into
# data/icons/NxN.png. Run after changing the SVG; the PNGs are kept in git so
# that the build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || apt-get install -y -qq --no-install-recommends librsvg2-bin
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" data/icons/tessaly.svg -o "data/icons/${size}x${size}.png"
done
