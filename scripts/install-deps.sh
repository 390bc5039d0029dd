#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# skipping the ones already present.
set -euo pipefail

packages=(
  build-essential cmake clang libclang-rt-14-dev
  libwxgtk3.2-dev libgtest-dev libgmock-dev libbenchmark-dev libjpeg-dev
  xvfb xauth xdg-utils groff ghostscript
  libimage-exiftool-perl xdotool
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
