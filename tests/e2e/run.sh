#!/usr/bin/env bash
# End-to-end check as a user would do it: the real program in a virtual X
# server, driven through the accessibility bus, on a folder of photos.
# Usage: tests/e2e/run.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build/release}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/with-display.sh" /usr/bin/python3 "$here/drive.py" "$build" "$work"
