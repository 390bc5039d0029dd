#!/usr/bin/env bash
# Builds Tessaly (the window and its manual, nothing else) and starts it as
# the installed command does: in the user's configuration folder for it,
# $XDG_CONFIG_HOME/tessaly, where it keeps prefs.cfg and its logs. The
# program finds its watermark (data/) and manual (documents/) beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# The same settings as the test command, so that neither builds again
# what the other built.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTESSALY_WERROR=ON -DTESSALY_BENCH=ON
cmake --build build/release -j"$(nproc)" --target tessaly manual
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Tessaly needs a graphical display and none is set; without one, run: xvfb-run -a $0" >&2
  exit 1
fi
program="$PWD/build/release/tessaly"
case "${XDG_CONFIG_HOME:-}" in
  /*) config="$XDG_CONFIG_HOME/tessaly" ;;
  *) config="$HOME/.config/tessaly" ;;
esac
mkdir -p "$config"
cd "$config"
exec "$program"
