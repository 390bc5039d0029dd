#!/bin/sh
# The installed "tessaly" command, also what the menu entry starts: Tessaly
# keeps prefs.cfg and its log in the folder it starts in, so it is started
# in the user's own configuration folder for it, created on first use.
set -e
case "${XDG_CONFIG_HOME:-}" in
  /*) config="$XDG_CONFIG_HOME/tessaly" ;;
  *) config="$HOME/.config/tessaly" ;;
esac
mkdir -p "$config"
cd "$config"
program="$(dirname "$(readlink -f "$0")")/../lib/tessaly/tessaly"
exec "$program" "$@"
