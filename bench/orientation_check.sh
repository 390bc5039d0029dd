#!/usr/bin/env bash
# Compares the orientation MetadataHandler reads with exiftool's on every
# JPEG below a folder (default: the benchmark's unpacked wallpapers).
# Files exiftool finds no orientation in must read as "-" or 0.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:-$root/bench/cache/unpacked}
cmake --build "$root/build/release" --target exif_orientation >/dev/null
checked=0; differ=0
while IFS= read -r -d '' f; do
  ours=$("$root/build/release/exif_orientation" "$f" | cut -f2)
  theirs=$(exiftool -s3 -n -Orientation "$f" 2>/dev/null || true)
  checked=$((checked + 1))
  if [ -z "$theirs" ]; then
    [ "$ours" = "-" ] || [ "$ours" = 0 ] || { echo "differ: $f ours=$ours exiftool=none"; differ=$((differ + 1)); }
  elif [ "$ours" != "$theirs" ]; then
    echo "differ: $f ours=$ours exiftool=$theirs"; differ=$((differ + 1))
  fi
done < <(find "$folder" -iname '*.jp*g' -print0)
echo "$checked files checked, $differ differ"
