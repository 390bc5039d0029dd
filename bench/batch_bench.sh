#!/usr/bin/env bash
# Times one batch (fit into 800 x 800, turn upright, watermark, JPEG quality
# 82) on real photographs with Tessaly's engine and with other tools on the
# same pictures, alternating, on fresh copies each time. Prints the wall
# time and peak memory of each and the ratios to the codec floor
# (libjpeg-turbo's djpeg -scale 1/N piped into cjpeg, no resize, no rotate).
#   bench/batch_bench.sh [rounds]
# The photos come from Debian's wallpaper packages, downloaded once into
# bench/cache (ignored by git).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
cache=$root/bench/cache
build=$root/build/release

export DEBIAN_FRONTEND=noninteractive
need=()
for p in libvips-tools imagemagick libjpeg-turbo-progs libimage-exiftool-perl time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then apt-get update -qq && apt-get install -y -qq "${need[@]}" >/dev/null; fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALY_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target batch_run shrink_psnr >/dev/null

if [ ! -d "$cache/photos" ]; then
  mkdir -p "$cache/debs" "$cache/unpacked" "$cache/photos"
  (cd "$cache/debs" && apt-get download lomiri-wallpapers-20.04 lomiri-wallpapers-16.04 plasma-workspace-wallpapers >/dev/null)
  for deb in "$cache"/debs/*.deb; do dpkg-deb -x "$deb" "$cache/unpacked"; done
  n=0
  while IFS= read -r -d '' f; do
    size=$(identify -format '%w %h' "$f" 2>/dev/null) || continue
    set -- $size
    [ "$1" -ge 1600 ] || continue
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
count=$(ls "$cache"/photos/*.jpg | wc -l)
identify -format '%w %h\n' "$cache"/photos/*.jpg 2>/dev/null |
  awk -v n="$count" '{ p += $1 * $2; if ($1 * $2 > m) m = $1 * $2 }
    END { printf "photos: %d, %.0f megapixels in all; the largest decoded at full size: %.0f MiB\n", n, p / 1e6, m * 3 / 1048576 }'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The engine writes its log into the working folder: keep it out of the tree.
cd "$work"
wm=$root/data/wm.png

engine()      { "$build/batch_run" "$1" "$wm" >/dev/null; }
full_decode() { "$build/batch_run" "$1" "$wm" --full-decode >/dev/null; }
vips()        { mkdir "$1/out"; (cd "$1" && vipsthumbnail --size 800x800 -o 'out/%s.jpg[Q=82]' *.jpg); }
magick()      { (cd "$1" && mogrify -auto-orient -resize '800x800>' -gravity southeast \
                   -draw "image over 0,0 0,0 '$wm'" -quality 82 *.jpg); }
# The scale for each photo is worked out once, before the clock runs.
floor_codec() {
  while read -r name n; do
    djpeg -scale "1/$n" "$1/$name" | cjpeg -quality 82 > "$1/$name.out"
  done < "$work/scales"
}

(cd "$cache/photos" && identify -format '%f %w %h\n' *.jpg 2>/dev/null) | while read -r name w h; do
  long=$((w > h ? w : h)); n=1
  while [ $n -lt 8 ] && [ $(( (long + 2 * n - 1) / (2 * n) )) -ge 800 ]; do n=$((n * 2)); done
  echo "$name $n"
done > "$work/scales"

tools=(engine full_decode vips magick floor_codec)
declare -A seconds memory
for t in "${tools[@]}"; do seconds[$t]=0; memory[$t]=0; done
for round in $(seq "$rounds"); do
  for t in "${tools[@]}"; do
    rm -rf "$work/run"; cp -r "$cache/photos" "$work/run"
    /usr/bin/time -f '%e %M' -o "$work/time" bash -c "$(declare -f "$t"); build='$build' wm='$wm' work='$work' $t '$work/run'" 2>/dev/null
    read -r s m < "$work/time"
    seconds[$t]=$(echo "${seconds[$t]} + $s" | bc)
    [ "$m" -gt "${memory[$t]}" ] && memory[$t]=$m
  done
done

printf '%-12s %10s %12s %10s\n' tool seconds "peak MiB" "vs floor"
floor=$(echo "${seconds[floor_codec]} / $rounds" | bc -l)
for t in "${tools[@]}"; do
  avg=$(echo "${seconds[$t]} / $rounds" | bc -l)
  printf '%-12s %10.2f %12.1f %10.2f\n' "$t" "$avg" "$(echo "${memory[$t]} / 1024" | bc -l)" "$(echo "$avg / $floor" | bc -l)"
done

# What shrink-on-load changes in the pictures: the engine's fitted picture
# against the same photo decoded at full size and fitted, before encoding.
"$build/shrink_psnr" "$cache"/photos/*.jpg | tail -n 1
