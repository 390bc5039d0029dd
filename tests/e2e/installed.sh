#!/usr/bin/env bash
# Installs Tessaly into a staging folder (DESTDIR) and starts it the way
# its menu entry does, with a fresh HOME, in a virtual X server: checks
# where the preferences go, that the default watermark is found and that
# Help hands the installed manual to the desktop's opener.
# Usage: tests/e2e/installed.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build/release}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null

# Installing leaves the program that opens folders as it was: a desktop
# with a file manager registered for them asks xdg-mime before and after.
mkdir -p "$work/desktop/applications" "$work/mime-home"
printf '[Desktop Entry]\nType=Application\nName=Files\nExec=true %%U\nMimeType=inode/directory;\n' \
  > "$work/desktop/applications/files.desktop"
update-desktop-database "$work/desktop/applications" "$work/stage/usr/share/applications"
folder_opener() {
  env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CURRENT_DESKTOP HOME="$work/mime-home" XDG_DATA_DIRS="$1" \
    xdg-mime query default inode/directory
}
before=$(folder_opener "$work/desktop")
after=$(folder_opener "$work/stage/usr/share:$work/desktop")
if [ "$before" != "$after" ]; then
  echo "installing made $after the program that opens folders, instead of $before" >&2
  exit 1
fi
mkdir "$work/home" "$work/opener"
# A stand-in opener that records what it is asked to open.
cat > "$work/opener/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$#" "\$@" >> "$work/opened.txt"
STUB
chmod +x "$work/opener/xdg-open"
export HOME="$work/home" PATH="$work/opener:$work/stage/usr/bin:$PATH"
unset XDG_CONFIG_HOME
cd "$HOME"
"$here/with-display.sh" /usr/bin/python3 "$here/installed.py" "$work"
