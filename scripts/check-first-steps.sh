#!/usr/bin/env bash
# The README's first command on a checkout the test command has built:
# ./scripts/run.sh must build no more than it needs, show the window, and
# keep its settings out of the checkout, where the user's configuration
# folder is. Run by scripts/test.sh before its tests and at its end, so
# that the two commands are tried in both orders.
set -euo pipefail
cd "$(dirname "$0")/.."
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME="$config"
# A returning user's settings: the very first start greets with a box of
# its own before the window.
mkdir "$config/tessaly"
printf 'WorkingDir = /\n' > "$config/tessaly/prefs.cfg"
tests/e2e/with-display.sh bash -c '
  ./scripts/run.sh > "$XDG_CONFIG_HOME/run.log" 2>&1 &
  run=$!
  for _ in $(seq 120); do
    if xdotool search --name "^Tessaly 1.1$" > /dev/null 2>&1; then
      kill "$run"
      wait "$run" || true
      exit 0
    fi
    kill -0 "$run" 2> /dev/null || break
    sleep 1
  done
  kill "$run" 2> /dev/null || true
  echo "run.sh showed no window:"
  cat "$XDG_CONFIG_HOME/run.log"
  exit 1'
if grep -q "Building CXX" "$config/run.log"; then
  echo "run.sh compiled again what the test command had built:"; cat "$config/run.log"; exit 1
fi
echo "first steps: run.sh started Tessaly in its configuration folder, building nothing again"
