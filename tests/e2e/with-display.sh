#!/usr/bin/env bash
# Runs a command in a virtual X server with its own session bus (for the
# accessibility bus), as a desktop session would, and cleans up after it.
# Usage: tests/e2e/with-display.sh COMMAND [ARGS...]
# TESSALY_SCREEN sets the screen's size (default 1280x1024x24).
set -euo pipefail
fifo_dir=$(mktemp -d)
cleanup() {
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$fifo_dir"
}
trap cleanup EXIT

exec 5>"$fifo_dir/display"
Xvfb -displayfd 5 -noreset -screen 0 "${TESSALY_SCREEN:-1280x1024x24}" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$fifo_dir/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$fifo_dir/display")"
export LANG=C.UTF-8 GDK_BACKEND=x11
unset NO_AT_BRIDGE GTK_A11Y

dbus-run-session -- "$@"
