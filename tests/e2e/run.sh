#!/usr/bin/env bash
# End-to-end check as a user would do it: the real program in a virtual X
# server, driven through the accessibility bus, on a folder of photos.
# Usage: tests/e2e/run.sh [build folder] [folder for screenshots]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
shots=${2:-}
work=$(mktemp -d)
cleanup() {
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 5>"$work/display"
Xvfb -displayfd 5 -noreset -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
export LANG=C.UTF-8 GDK_BACKEND=x11
unset NO_AT_BRIDGE GTK_A11Y

dbus-run-session -- /usr/bin/python3 "$root/tests/e2e/drive.py" "$build" "$work" "$shots"
