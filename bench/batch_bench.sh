#!/usr/bin/env bash
# Times one batch (fit into 800 x 800, turn upright, watermark, JPEG quality
# 82) on real photographs with Tessaly's engine (helpers on every core), the
# same engine one picture after another (--serial), and other tools on the
# same pictures, alternating, on fresh copies each time. Prints wall time,
# CPU time and peak memory of each and the ratios the engine is held to:
# against its serial self, the serial decode floor (djpeg -scale 1/N of
# every picture to /dev/null) and vipsthumbnail at its default threads.
# Next to the time, the sharpness of the engine's and vipsthumbnail's
# pictures: PSNR against a Lanczos-3 reduction of the full decode. Then the
# time per picture on 30, 120 and 480 pictures (copies of the corpus), and
# the peak memory on 24-megapixel progressive pictures, and the sharpness
# of progressive twins of the photos against the baseline files.
#   bench/batch_bench.sh [rounds]     (default 5; the figures are medians)
# The photos come from Debian's wallpaper packages, downloaded once into
# bench/cache (ignored by git).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
cache=$root/bench/cache
build=$root/build/release

export DEBIAN_FRONTEND=noninteractive
need=()
for p in libvips-tools imagemagick libjpeg-turbo-progs libimage-exiftool-perl time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then apt-get update -qq && apt-get install -y -qq "${need[@]}" >/dev/null; fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALY_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target batch_run shrink_psnr progressive_psnr tessaly-batch >/dev/null

"$root/bench/corpus.sh" "$cache"
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
serial()      { "$build/batch_run" "$1" "$wm" --serial >/dev/null; }
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
floor_decode() {
  while read -r name n; do
    djpeg -scale "1/$n" "$1/$name" > /dev/null
  done < "$work/scales"
}

(cd "$cache/photos" && identify -format '%f %w %h\n' *.jpg 2>/dev/null) | while read -r name w h; do
  long=$((w > h ? w : h)); n=1
  while [ $n -lt 8 ] && [ $(( (long + 2 * n - 1) / (2 * n) )) -ge 800 ]; do n=$((n * 2)); done
  echo "$name $n"
done > "$work/scales"

# Runs a tool on a fresh copy of a folder; keeps its wall and CPU seconds
# for the medians, and its peak memory.
declare -A walls cpus memory
measure() { # tool folder
  rm -rf "$work/run"; cp -r "$2" "$work/run"
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" bash -c "$(declare -f "$1"); build='$build' wm='$wm' work='$work' $1 '$work/run'" 2>/dev/null
  read -r s u k m < "$work/time"
  walls[$1]+="$s "
  cpus[$1]+="$(echo "$u + $k" | bc) "
  [ "$m" -gt "${memory[$1]:-0}" ] && memory[$1]=$m
  return 0
}
median() { tr ' ' '\n' <<< "$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
forget() { for t in "$@"; do walls[$t]=""; cpus[$t]=""; memory[$t]=0; done; }
ratio() { echo "scale=2; $(median "${walls[$1]}") / $(median "${walls[$2]}")" | bc -l; }

tools=(engine serial full_decode vips magick floor_codec floor_decode)
for round in $(seq "$rounds"); do
  for t in "${tools[@]}"; do measure "$t" "$cache/photos"; done
done

echo "medians of $rounds rounds, the tools alternating:"
printf '%-12s %10s %10s %12s\n' tool seconds "cpu s" "peak MiB"
for t in "${tools[@]}"; do
  printf '%-12s %10.2f %10.2f %12.1f\n' "$t" "$(median "${walls[$t]}")" "$(median "${cpus[$t]}")" \
    "$(echo "${memory[$t]} / 1024" | bc -l)"
done
# Sharpness: each tool's pictures at quality 100 without watermark against
# the full decode, turned upright as the tools turn it and reduced to the
# same size by ImageMagick's Lanczos-3 filter; the mean PSNR in dB.
sharpness() { # folder of results
  local total=0 n=0 result name size psnr
  for result in "$1"/*.jpg; do
    name=$(basename "$result")
    size=$(identify -format '%wx%h' "$result")
    convert "$cache/photos/$name" -auto-orient -filter Lanczos -resize "$size!" "$work/reference.ppm"
    psnr=$(compare -metric PSNR "$result" "$work/reference.ppm" null: 2>&1 || true)
    total=$(echo "$total + $psnr" | bc -l); n=$((n + 1))
  done
  echo "scale=1; $total / $n" | bc -l
}
"$build/tessaly-batch" --size 800 --quality 100 --output "$work/sharp_engine" --yes "$cache/photos" >/dev/null 2>&1
mkdir -p "$work/sharp_vips"
vipsthumbnail --size 800x800 -o "$work/sharp_vips/%s.jpg[Q=100]" "$cache"/photos/*.jpg
sharp_engine=$(sharpness "$work/sharp_engine")
sharp_vips=$(sharpness "$work/sharp_vips")

echo "engine / serial engine, wall:      $(ratio engine serial)   (target <= 0.55)"
echo "engine / serial decode floor:      $(ratio engine floor_decode)   (target <= 0.62)"
echo "serial engine / serial decode floor: $(ratio serial floor_decode)   (target <= 1.15)"
echo "engine / vipsthumbnail, the photos: $(ratio engine vips)"
echo "engine / serial engine, CPU:       $(echo "scale=2; $(median "${cpus[engine]}") / $(median "${cpus[serial]}")" | bc -l)   (target <= 1.10)"
echo "sharpness, PSNR against Lanczos-3 of the full decode: engine $sharp_engine dB, vipsthumbnail $sharp_vips dB" \
  "(target: engine >= vipsthumbnail - 1)"

# 22 of the 30 photos are progressive. The same photos as baseline files
# and as progressive ones, pixel for pixel (jpegtran): the engine against
# vipsthumbnail on each set, alternating as above.
for kind in baseline progressive; do
  twins=$work/$kind
  mkdir -p "$twins"
  for f in "$cache"/photos/*.jpg; do
    jpegtran $([ $kind = progressive ] && echo -progressive) -copy all "$f" > "$twins/$(basename "$f")"
  done
  forget engine vips
  for round in $(seq "$rounds"); do
    for t in engine vips; do measure "$t" "$twins"; done
  done
  echo "engine / vipsthumbnail, all $kind: $(ratio engine vips)   (target <= $([ $kind = progressive ] && echo 0.45 || echo 0.42));" \
    "peak $(echo "${memory[engine]} / 1024" | bc) MiB against $(echo "${memory[vips]} / 1024" | bc) MiB"
  rm -rf "$twins"
done

# Time per picture as the folder grows: 30, 120 and 480 pictures.
for copies in 1 4 16; do
  big=$work/copies$copies
  mkdir -p "$big"
  for c in $(seq "$copies"); do
    for f in "$cache"/photos/*.jpg; do ln -f "$f" "$big/c${c}_$(basename "$f")"; done
  done
  n=$(ls "$big" | wc -l)
  forget engine
  measure engine "$big"
  rm -rf "$big"
  wall=$(median "${walls[engine]}")
  printf '%4d pictures: %6.2f s, %5.1f ms a picture, peak %5.1f MiB\n' "$n" "$wall" \
    "$(echo "$wall * 1000 / $n" | bc -l)" "$(echo "${memory[engine]} / 1024" | bc -l)"
done

# Progressive pictures keep all their coefficients while they decode: the
# peak with helpers against the serial peak, on 24-megapixel pictures.
progressive=$work/progressive
mkdir -p "$progressive"
i=0
for f in "$cache"/photos/*.jpg; do
  i=$((i + 1)); [ $i -le 8 ] || break
  convert "$f" -resize 6000x4000! -quality 90 -interlace JPEG "$progressive/p$i.jpg"
done
forget engine serial
for t in engine serial; do measure "$t" "$progressive"; done
echo "24-megapixel progressive: peak $(echo "${memory[engine]} / 1024" | bc) MiB with helpers," \
  "$(echo "${memory[serial]} / 1024" | bc) MiB serial ($(nproc) cores)"

# What shrink-on-load changes in the pictures: the engine's fitted picture
# against the same photo decoded at full size and fitted, before encoding.
"$build/shrink_psnr" "$cache"/photos/*.jpg | tail -n 1
# Progressive twins of the photos, from 200 to 2000 pixels: as sharp as the
# baseline files, and never refused.
"$build/progressive_psnr" "$cache"/photos/*.jpg | tail -n 9
