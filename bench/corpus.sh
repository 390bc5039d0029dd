#!/usr/bin/env bash
# The benchmarks' photos: 30 of Debian's wallpaper photographs of 1600
# pixels or wider, some marked as a camera held upright would store them,
# downloaded once into CACHE/photos.
#   bench/corpus.sh CACHE
set -euo pipefail
cache=$1
if [ ! -d "$cache/photos" ]; then
  mkdir -p "$cache/debs" "$cache/unpacked" "$cache/photos"
  (cd "$cache/debs" && apt-get download lomiri-wallpapers-20.04 lomiri-wallpapers-16.04 plasma-workspace-wallpapers >/dev/null)
  for deb in "$cache"/debs/*.deb; do dpkg-deb -x "$deb" "$cache/unpacked"; done
  n=0
  while IFS= read -r -d '' f; do
    size=$(identify -format '%w %h' "$f" 2>/dev/null) || continue
    set -- $size
    [ "$1" -ge 1600 ] || continue
    [ "$n" -lt 30 ] || break
    n=$((n + 1))
    cp "$f" "$cache/photos/photo$(printf %03d $n).jpg"
  done < <(find "$cache/unpacked" -iname '*.jpg' -print0 | sort -z)
  # Some pictures as a camera held upright would store them.
  i=0
  for f in "$cache"/photos/*.jpg; do
    i=$((i + 1))
    case $((i % 4)) in
      1) exiftool -q -overwrite_original -Orientation#=6 "$f" ;;
      2) exiftool -q -overwrite_original -Orientation#=3 "$f" ;;
    esac
  done
fi
