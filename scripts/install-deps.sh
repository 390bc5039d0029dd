#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# skipping the ones already present.
set -euo pipefail

packages=(
  build-essential cmake clang libclang-rt-14-dev
  libwxgtk3.2-dev libgtk-3-dev libglib2.0-dev pkg-config libgtest-dev libgmock-dev libbenchmark-dev libjpeg-dev
  # the Debian package and its checks
  dpkg-dev lintian desktop-file-utils appstream
  xvfb xauth xdg-utils groff ghostscript locales
  # the end-to-end check: accessibility bus, X tools, picture tools
  dbus at-spi2-core gir1.2-atspi-2.0 python3-gi python3-xlib xdotool
  imagemagick libimage-exiftool-perl libjpeg-turbo-progs
  # the colour management engine, and colour profiles for its tests
  icc-profiles-free liblcms2-dev
  # text marks: shaping, glyphs, installed fonts, and the font that comes with the program
  libharfbuzz-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  # WebP results, and libwebp's own tools to check them
  libwebp-dev webp
  # comparing result names: Unicode case folding and normal forms
  libutf8proc-dev
  # languages: the catalogs' tools and the toolkit's own translations
  gettext wx3.2-i18n
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The locales of the languages Tessaly speaks: German's decimal comma shows
# that numbers keep their "." whatever the user's locale, and each one lets
# GTK's own texts follow in the screenshots of every language.
missing_locales=()
for locale in de_DE es_ES fr_FR it_IT; do
  locale -a 2>/dev/null | grep -qi "^$locale\.utf-\?8\$" || missing_locales+=("$locale")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
  for locale in "${missing_locales[@]}"; do
    sed -i "s/^# *$locale.UTF-8 UTF-8/$locale.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$locale.UTF-8 UTF-8" /etc/locale.gen || echo "$locale.UTF-8 UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi
