#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it: the desktop
# entry and the AppStream metadata validate, so do the file managers'
# folder actions, lintian finds no error, and apt
# can resolve its dependencies from the archive alone. Prints the package's path last.
#   scripts/package.sh [build folder]    (default: build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
desktop-file-validate packaging/example.tessaly.Tessaly.desktop
python3 tests/packaging/check_folder_actions.py packaging
appstreamcli validate --no-net packaging/example.tessaly.Tessaly.metainfo.xml
(cd "$build" && cpack -G DEB >/dev/null 2>&1)
package=$(ls "$(cd "$build" && pwd)"/tessaly_*_amd64.deb)
lintian --fail-on error "$package"
# As on a fresh machine: with nothing installed, apt must find everything.
nothing=$(mktemp)
trap 'rm -f "$nothing"' EXIT
apt-get install --simulate -o Dir::State::status="$nothing" "$package" >/dev/null
echo "package checked: $package"
