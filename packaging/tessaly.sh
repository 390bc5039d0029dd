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
# A folder given on the command line is relative to where it was given.
if [ $# -gt 0 ] && [ -d "$1" ]; then
  folder=$(cd "$1" && pwd)
  shift
  set -- "$folder" "$@"
fi
cd "$config"
program="$(dirname "$(readlink -f "$0")")/../lib/tessaly/tessaly"
exec "$program" "$@"
