#!/usr/bin/env bash
# Installs Tessaly into a staging folder (DESTDIR) and starts it the way
# its menu entry does, with a fresh HOME, in a virtual X server: checks
# where the preferences go, that the default watermark is found, that
# Help hands the installed manual to the desktop's opener, and that the
# translations are where the programs look.
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
# The installed catalogs, where the installed programs look: below
# share/locale, as the window's lib/tessaly/tessaly finds them too.
said=$("$work/stage/usr/bin/tessaly-batch" --language de --bogus 2>&1 || true)
case $said in
"tessaly-batch: es gibt keine Option --bogus"*) ;;
*) echo "the installed tessaly-batch does not speak German: $said" >&2; exit 1 ;;
esac
for language in de es fr it; do
  [ -f "$work/stage/usr/share/locale/$language/LC_MESSAGES/tessaly.mo" ] ||
    { echo "no $language catalog installed" >&2; exit 1; }
done
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
