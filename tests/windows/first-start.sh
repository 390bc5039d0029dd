#!/bin/bash
# A first start of the installed program under Wine, on the display given
# (xvfb-run): the silent install, the window started in every way a user
# starts it, always with its one prefs.cfg in %APPDATA%\Tessaly, a
# screenshot, the portable zip's settings beside its programs, and the
# silent uninstall.
#
#   tests/windows/first-start.sh WINDOWS_BUILD     (WINEPREFIX set by the caller)
set -euo pipefail
trap 'echo "windows: first start: stopped by a failing command at line $LINENO" >&2' ERR

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
for file in tessaly.exe tessaly-batch.exe data/wm.png data/DejaVuSans.ttf documents/Tessaly_1.1_manual.pdf uninstall.exe; do
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

# Starts the window from the folder given, with the arguments given, until
# it shows (the first start's message about the default settings answered),
# then ends Wine. A screenshot when asked.
start_window() {
    local from=$1 program=$2 screenshot=$3
    shift 3
    (cd "$from" && wine "$program" "$@" >/dev/null 2>&1 &)
    local shown=false names
    for _ in $(seq 1 60); do
        sleep 1
        # No window shown yet is no failure.
        names=$({ xdotool search --onlyvisible --name . 2>/dev/null || true; } | while read -r window; do
            xdotool getwindowname "$window" 2>/dev/null || true; done)
        if grep -qx "Tessaly 1.1" <<<"$names"; then
            shown=true
            break
        fi
        grep -qx "Message" <<<"$names" && xdotool key Return
    done
    $shown || fail "no window 'Tessaly 1.1' when started from $from"
    sleep 1
    [ -z "$screenshot" ] || import -window root "$screenshot"
    wineserver -k
    wineserver -w
}

# Every way of starting it finds the one prefs.cfg in %APPDATA%\Tessaly:
# the Start menu entry, "Open with Tessaly" (Explorer's working folder is
# its own: here the photos' folder), a double click (the program's
# folder), a console elsewhere with a folder named from there.
mkdir -p "$app_data/Tessaly/../Фото" "$app_data/../console/Фото"
start_window "$app_data/Tessaly" "$installed/tessaly.exe" "$build/first-start.png" "$(winpath "$app_data/Фото")"
[ -f "$app_data/Tessaly/prefs.cfg" ] || fail "no prefs.cfg in %APPDATA%\\Tessaly"
start_window "$app_data/Фото" "$installed/tessaly.exe" "" "$(winpath "$app_data/Фото")"
start_window "$installed" "$installed/tessaly.exe" ""
start_window "$app_data/../console" "$installed/tessaly.exe" "" "Фото"
for elsewhere in "$app_data/Фото" "$installed" "$app_data/../console"; do
    [ ! -e "$elsewhere/prefs.cfg" ] || fail "a prefs.cfg in $elsewhere"
done

# The portable zip keeps its settings beside its programs, wherever it starts.
portable=$app_data/../portable
mkdir -p "$portable"
python3 -c "import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])" \
    "$(ls "$build"/tessaly-*-windows-x64.zip)" "$portable"
start_window "$app_data/../console" "$portable/tessaly.exe" ""
[ -f "$portable/prefs.cfg" ] || fail "the portable program keeps no prefs.cfg beside itself"
[ ! -e "$app_data/../console/prefs.cfg" ] || fail "the portable program left a prefs.cfg where it was started"

wine "$installed/uninstall.exe" /S >/dev/null 2>&1
wineserver -w
sleep 2
[ -z "$(ls -A "$installed" 2>/dev/null)" ] || fail "the uninstaller left $(ls -A "$installed" | tr '\n' ' ')"
[ ! -f "$shortcut" ] || fail "the uninstaller left the Start menu entry"
[ -f "$app_data/Tessaly/prefs.cfg" ] || fail "the silent uninstall removed the user's prefs.cfg"

# Installed again under a German locale, it speaks German; uninstalled with
# the settings, what Tessaly wrote in %APPDATA%\Tessaly goes, presets
# included, and a file of the user's stays.
LANG=de_DE.UTF-8 wine "$build"/tessaly-*-setup-x64.exe /S >/dev/null 2>&1
wineserver -w
verb=$(wine reg query 'HKCU\Software\Classes\Directory\shell\Tessaly' /ve 2>/dev/null | tr -d '\r' || true)
grep -q "Mit Tessaly" <<<"$verb" || fail "the installer speaks no German under a German locale: $verb"
mkdir -p "$app_data/Tessaly/presets"
echo "#" >"$app_data/Tessaly/presets/web.cfg"
echo "mine" >"$app_data/Tessaly/notes.txt"
wine "$installed/uninstall.exe" /S /REMOVESETTINGS >/dev/null 2>&1
wineserver -w
sleep 2
[ ! -e "$app_data/Tessaly/presets" ] || fail "the uninstaller left the presets: $(ls -A "$app_data/Tessaly/presets")"
[ ! -e "$app_data/Tessaly/prefs.cfg" ] || fail "the uninstaller left prefs.cfg"
[ -f "$app_data/Tessaly/notes.txt" ] || fail "the uninstaller removed a file of the user's"
echo "windows: first start: screenshot in $build/first-start.png, $failures failed"
[ "$failures" = 0 ]
