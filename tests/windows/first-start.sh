#!/bin/bash
# A first start of the installed program under Wine, on the display given
# (xvfb-run): the silent install, the window started as the Start menu
# entry starts it with a folder argument, its prefs.cfg in %APPDATA%\Tessaly,
# a screenshot, and the silent uninstall.
#
#   tests/windows/first-start.sh WINDOWS_BUILD     (WINEPREFIX set by the caller)
set -euo pipefail

build=$(cd "$1" && pwd)
failures=0
fail() {
    echo "windows: FAILED: $*" >&2
    failures=$((failures + 1))
}
winpath() { winepath -w "$1" 2>/dev/null; }
unixpath() { winepath -u "$1" 2>/dev/null; }

wine "$build"/tessaly-*-setup-x64.exe /S >/dev/null 2>&1
wineserver -w
local_app=$(unixpath "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
app_data=$(unixpath "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
installed=$local_app/Programs/Tessaly
for file in tessaly.exe tessaly-batch.exe data/wm.png documents/Tessaly_1.1_manual.pdf uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the installer put no $file into $installed"
done
shortcut="$app_data/Microsoft/Windows/Start Menu/Programs/Tessaly.lnk"
[ -f "$shortcut" ] || fail "no Start menu entry"
# The entry's target and start folder, as UTF-16 inside the link.
strings -e l "$shortcut" | grep -qi 'Programs\\Tessaly\\tessaly.exe' || fail "the entry does not start tessaly.exe"
strings -e l "$shortcut" | grep -qi 'Roaming\\Tessaly' || fail "the entry does not start in %APPDATA%\\Tessaly"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly' /v UninstallString >/dev/null 2>&1 ||
    fail "no Uninstall entry"
wine reg query 'HKCU\Software\Classes\Directory\shell\Tessaly\command' >/dev/null 2>&1 || fail "no 'Open with Tessaly'"

# Started as the entry starts it, with a folder to open.
mkdir -p "$app_data/Tessaly/../Фото"
(cd "$app_data/Tessaly" && wine "$installed/tessaly.exe" "$(winpath "$app_data/Фото")" >/dev/null 2>&1 &)
shown=false
for _ in $(seq 1 60); do
    sleep 1
    names=$(xdotool search --onlyvisible --name . 2>/dev/null | while read -r window; do
        xdotool getwindowname "$window" 2>/dev/null; done)
    if grep -qx "Tessaly 1.1" <<<"$names"; then
        shown=true
        break
    fi
    # The first start says it writes the default settings: OK.
    grep -qx "Message" <<<"$names" && xdotool key Return
done
$shown || fail "no window 'Tessaly 1.1'"
sleep 1
import -window root "$build/first-start.png"
[ -f "$app_data/Tessaly/prefs.cfg" ] || fail "no prefs.cfg in %APPDATA%\\Tessaly"
wineserver -k
wineserver -w

wine "$installed/uninstall.exe" /S >/dev/null 2>&1
wineserver -w
sleep 2
[ -z "$(ls -A "$installed" 2>/dev/null)" ] || fail "the uninstaller left $(ls -A "$installed" | tr '\n' ' ')"
[ ! -f "$shortcut" ] || fail "the uninstaller left the Start menu entry"
[ -f "$app_data/Tessaly/prefs.cfg" ] || fail "the silent uninstall removed the user's prefs.cfg"
echo "windows: first start: screenshot in $build/first-start.png, $failures failed"
[ "$failures" = 0 ]
