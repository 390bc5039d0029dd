#!/usr/bin/env bash
# Takes the manual's screenshots (the main window, the Preferences with
# their preview, About) in a virtual X server, from the setup a user would
# have: the home folder /home/robin, its "Pictures/Holiday 2024" holding
# real photographs (Debian's wallpaper photos), a logo of the user's own as
# watermark, and the results going to "Pictures/Holiday 2024 (web)".
# /home/robin is made for the shots and removed afterwards. The same shots
# in every language, and in German at 150 % text size, go to
# build/release/screenshots/LANG for a look at their layout.
#   scripts/screenshots.sh [folder]     (default: docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTESSALY_WERROR=ON -DTESSALY_BENCH=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target tessaly >/dev/null
out=$(mkdir -p "${1:-docs/screenshots}" && cd "${1:-docs/screenshots}" && pwd)

home=/home/robin
if [ -e "$home" ]; then
  echo "$home is there already: the screenshots' user lives there, and it is removed afterwards" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$home" "$work"' EXIT
album="$home/Pictures/Holiday 2024"
mkdir -p "$album" "$home/.config/tessaly"

# Six photographs from Debian's wallpaper package, each at its largest, as
# a camera names them.
(cd "$work" && apt-get download plasma-workspace-wallpapers >/dev/null && dpkg-deb -x ./*.deb unpacked)
n=2041
for name in EveningGlow Volna Path ColdRipple Kite summer_1am; do
  photo=$(find "$work/unpacked" -path "*/$name/contents/images/*" -name '*.jpg' -printf '%s %p\n' |
    sort -n | tail -n 1 | cut -d' ' -f2-)
  [ -n "$photo" ] || continue
  convert "$photo" -resize '4000x4000>' -quality 92 "$album/IMG_$n.jpg"
  n=$((n + 1))
done

# The photographer's own logo: a name in white on transparency.
convert -size 900x200 xc:none -font DejaVu-Sans-Bold -pointsize 110 -fill white -stroke '#00000080' \
  -strokewidth 3 -gravity center -annotate 0 'robin.photo' -trim +repage "$home/Pictures/logo.png"

cat > "$home/.config/tessaly/prefs.cfg" <<PREFS
#Tessaly 1.1 configuration file
WorkingDir = $album
WaterImgFile = $home/Pictures/logo.png
Resize = 1
UseWatermark = 1
Rotate = 1
Width = 1600
Height = 1600
Alpha = 0.2
Quality = 85
IncludeSubdirectories = 0
WmPlacement = 9
WatermarkSize = 25
WatermarkMargin = 3
SaveToFolder = 1
ResultsFolder = $home/Pictures/Holiday 2024 (web)
PREFS

shots() {  # FOLDER [LANG]
  mkdir -p "$1"
  tests/e2e/with-display.sh /usr/bin/python3 scripts/screenshots.py "$PWD/build/release/tessaly" "$home" "$1" ${2:-}
  # Cut to the window (About is taken as its own window), as plain 8-bit RGB
  # for the manual's PDF pages.
  for shot in "$1"/main.png "$1"/preferences.png; do convert "$shot" -trim +repage "PNG24:$shot"; done
  convert "$1/about.png" "PNG24:$1/about.png"
  echo "screenshots in $1"
}
shots "$out"
for language in de es fr it; do
  shots "$PWD/build/release/screenshots/$language" "$language"
done
# On a screen as much larger: the window grows with its text.
GDK_DPI_SCALE=1.5 TESSALY_SCREEN=1920x1536x24 shots "$PWD/build/release/screenshots/de-150" de
