#!/bin/bash
# The Windows programs under Wine: the headless suite, tessaly-batch.exe end
# to end on real photos against the Linux build's results, the window's
# tests, then the installer and a first start of the window.
#
#   tests/windows/run.sh WINDOWS_BUILD LINUX_BUILD
#
# Wine gets a prefix of its own in a temporary folder and is shut down at
# the end. The photos are Debian's, kept in the Windows build's cache.
set -euo pipefail

windows=$(cd "$1" && pwd)
linux=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
cache=${TESSALY_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tessaly-windows}
work=$(mktemp -d)
# UTF-8, so that names beyond ASCII reach the programs as they are.
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
unset DISPLAY
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
failures=0
fail() {
    echo "windows: FAILED: $*" >&2
    failures=$((failures + 1))
}
winpath() { winepath -w "$1" 2>/dev/null; }

start=$SECONDS
wine wineboot -i >/dev/null 2>&1
wineserver -w

# The headless suite, but for what cannot exist on Windows or under Wine
# (skipped.txt, each with its reason; the window's tests skip from it too).
skips=$(sed -n 's/^test  *\([^ ]*\).*/\1/p' "$here/skipped.txt" | paste -sd: -)
if ! (cd "$work" && wine "$windows/tests/tessaly_tests.exe" --gtest_filter="-$skips" --gtest_brief=1 >"$work/suite.log" 2>&1); then
    cat "$work/suite.log" >&2
    fail "the headless suite"
fi
tail -n 3 "$work/suite.log"

# The portable zip: its files, and no DLL beside Windows' own.
zip=$(ls "$windows"/tessaly-*-windows-x64.zip)
python3 - "$zip" <<'PYTHON' || fail "the zip's content"
import sys, zipfile
names = sorted(zipfile.ZipFile(sys.argv[1]).namelist())
catalogs = [f"locale/{language}/LC_MESSAGES/{domain}.mo" for language in ("de", "es", "fr", "it")
            for domain in ("tessaly", "wxstd")]
wanted = sorted(["data/DejaVuSans.ttf", "data/wm.png", "documents/Tessaly_1.1_manual.pdf", "portable.txt",
                 "tessaly-batch.exe", "tessaly.exe"] + catalogs)
if [n for n in names if not n.endswith("/")] != wanted:
    sys.exit(f"the zip holds {names}")
PYTHON
system_dlls="kernel32 user32 gdi32 comdlg32 winspool advapi32 shell32 shlwapi ole32 oleaut32 comctl32 rpcrt4 msvcrt
version oleacc uxtheme winmm ws2_32 gdiplus msimg32 imm32 bcrypt uuid"
for dll in $(x86_64-w64-mingw32-objdump -p "$windows/tessaly.exe" "$windows/tessaly-batch.exe" |
    sed -n 's/.*DLL Name: \(.*\)/\1/p' | sort -u); do
    base=$(echo "${dll%.*}" | tr 'A-Z' 'a-z')
    echo " $system_dlls " | tr '\n' ' ' | grep -q " $base " || fail "the programs need $dll"
done

# The window is a GUI program, tessaly-batch.exe a console one that cmd
# waits for, whose exit status reaches ERRORLEVEL.
subsystem() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^Subsystem.*(\(.*\))/\1/p'; }
[ "$(subsystem "$windows/tessaly.exe")" = "Windows GUI" ] || fail "tessaly.exe is no GUI program"
[ "$(subsystem "$windows/tessaly-batch.exe")" = "Windows CUI" ] || fail "tessaly-batch.exe is no console program"
# Version information, as Explorer's properties show it, in each program and the installer.
for program in "$windows/tessaly.exe" "$windows/tessaly-batch.exe" "$windows"/tessaly-*-setup-x64.exe; do
    info=$(strings -e l "$program")
    for key in FileVersion ProductName CompanyName FileDescription; do
        grep -qx "$key" <<<"$info" || fail "$(basename "$program") has no $key"
    done
done
printf '@echo off\r\n"%s" --size\r\necho status=%%ERRORLEVEL%%\r\n' "$(winpath "$windows/tessaly-batch.exe")" \
    >"$work/usage.bat"
(cd "$work" && wine cmd /c "$(winpath "$work/usage.bat")" >"$work/usage.log" 2>&1) || true
grep -q "status=2" "$work/usage.log" || { cat "$work/usage.log" >&2; fail "a usage error does not reach ERRORLEVEL"; }

# Real photos in folders with names beyond ASCII, one of them turned by its EXIF orientation.
photos=$cache/photos
if [ ! -f "$photos/.unpacked" ]; then
    rm -rf "$photos" && mkdir -p "$photos"
    (cd "$photos" && apt-get download -q lomiri-wallpapers-20.04 >/dev/null && dpkg-deb -x ./*.deb unpacked)
    touch "$photos/.unpacked"
fi
in=$work/in
mkdir -p "$in/Urlaub 2024/Straße" "$in/Фото"
cp "$photos"/unpacked/usr/share/backgrounds/Fossa*.jpg "$in/Urlaub 2024/Straße/IMG_0001.jpg"
cp "$photos"/unpacked/usr/share/backgrounds/Kleiber*.jpg "$in/Фото/IMG_0002.JPG"
cp "$photos"/unpacked/usr/share/backgrounds/Infinite*.jpg "$in/Urlaub 2024/IMG_0003.jpeg"
exiftool -q -overwrite_original -Orientation#=6 -Make=Tessaly -Copyright=Robin "$in/Urlaub 2024/IMG_0003.jpeg"
options=(--size 1200 --watermark "$linux/data/wm.png" --position bottom-right --quality 85 --keep-exif --recursive --yes)

# In a console every letter shows, and the progress line is redrawn without
# an escape sequence of its own showing: Wine's console draws on the
# terminal that script(1) records, and once the console's own sequences
# are taken out what is left is text.
(cd "$work" && script -qec "wine $(printf '%q' "$windows/tessaly-batch.exe") --language de --size 300 --recursive \
    --yes --output console-out $(printf '%q' "$(winpath "$in")")" "$work/console.txt" >/dev/null 2>&1) ||
    fail "tessaly-batch.exe in a console"
python3 - "$work/console.txt" <<'PYTHON' || fail "what the console shows"
import re, sys
shown = re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]", b"", open(sys.argv[1], "rb").read()).decode("utf-8", "replace")
for wanted in ("übrig", "→", "−"):
    if wanted not in shown:
        sys.exit(f"no {wanted} in {shown!r}")
for unwanted in ("\x1b", "[K", "Ã"):
    if unwanted in shown:
        sys.exit(f"{unwanted!r} in {shown!r}")
PYTHON

# A list that cmd pipes in, in the console's code page: "dir /s /b | ...".
mkdir -p "$work/piped/Straße"
cp "$in/Urlaub 2024/IMG_0003.jpeg" "$work/piped/Straße/Größe.jpg"
printf '@echo off\r\ndir /s /b "%s\\*.jpg" | "%s" --files-from - -n -o "%s" "%s"\r\necho status=%%ERRORLEVEL%%\r\n' \
    "$(winpath "$work/piped")" "$(winpath "$windows/tessaly-batch.exe")" "$(winpath "$work/piped-out")" \
    "$(winpath "$work/piped")" >"$work/piped.bat"
(cd "$work" && wine cmd /c "$(winpath "$work/piped.bat")" >"$work/piped.log" 2>&1) || true
grep -q "^1 pictures would be saved" "$work/piped.log" && grep -q "status=0" "$work/piped.log" ||
    { cat "$work/piped.log" >&2; fail "a list piped from dir in the console's code page"; }

"$linux/tessaly-batch" "${options[@]}" --output "$work/linux" "$in" >/dev/null ||
    fail "the Linux build's run"
(cd "$work" && wine "$windows/tessaly-batch.exe" --size 1200 --watermark "$(winpath "$windows/data/wm.png")" \
    --position bottom-right --quality 85 --keep-exif --recursive --yes --output "$(winpath "$work/windows")" \
    "$(winpath "$in")" >"$work/batch.log" 2>&1) || { cat "$work/batch.log" >&2; fail "tessaly-batch.exe's run"; }
# Every path it names is a Windows path, "\" throughout.
! grep -q / "$work/batch.log" || { cat "$work/batch.log" >&2; fail "tessaly-batch.exe names a path with /"; }
for result in "Urlaub 2024/Straße/IMG_0001.jpg" "Фото/IMG_0002.JPG" "Urlaub 2024/IMG_0003.jpeg"; do
    a=$work/linux/$result b=$work/windows/$result
    [ -f "$b" ] || { fail "no $result from Windows"; continue; }
    [ "$(identify -format '%wx%h' "$a")" = "$(identify -format '%wx%h' "$b")" ] || fail "$result: another size"
    # The same pixels, or within one level where the SIMD code differs.
    off=$(compare -metric AE -fuzz 0.5% "$a" "$b" null: 2>&1 || true)
    [ "$off" = "0" ] || fail "$result: $off pixels off by more than one level"
    for tag in Orientation Make Copyright ICC_Profile:ProfileDescription; do
        [ "$(exiftool -s3 -"$tag" "$a")" = "$(exiftool -s3 -"$tag" "$b")" ] || fail "$result: $tag differs"
    done
    # The processing record's settings are the same; its source digest is each system's path.
    [ "$(exiftool -s3 -Comment "$a" | sed 's/ from .*//')" = "$(exiftool -s3 -Comment "$b" | sed 's/ from .*//')" ] ||
        fail "$result: another processing record"
done

# A text mark with the font that comes with the program, its place and tone
# chosen by the ground: the same pixels on both systems, and another
# picture than the one without it.
text=(--size 900 --text "© {copyright|Robin} {camera} Ωμέγα Жж AVA" --text-colour auto --opacity 0.9
    --position auto --auto-places top,bottom-left,bottom-right --margin 2 --recursive --yes)
"$linux/tessaly-batch" "${text[@]}" --output "$work/linux-text" "$in" >/dev/null || fail "the Linux build's text run"
(cd "$work" && wine "$windows/tessaly-batch.exe" "${text[@]}" --output "$(winpath "$work/windows-text")" \
    "$(winpath "$in")" >"$work/text.log" 2>&1) || { cat "$work/text.log" >&2; fail "tessaly-batch.exe's text run"; }
result="Urlaub 2024/IMG_0003.jpeg"
off=$(compare -metric AE -fuzz 0.5% "$work/linux-text/$result" "$work/windows-text/$result" null: 2>&1 || true)
[ "$off" = "0" ] || fail "the text mark: $off pixels off by more than one level"
"$linux/tessaly-batch" --size 900 --recursive --yes --output "$work/linux-plain" "$in" >/dev/null
marked=$(compare -metric AE -fuzz 5% "$work/linux-text/$result" "$work/linux-plain/$result" null: 2>&1 || true)
[ "${marked:-0}" -gt 500 ] 2>/dev/null || fail "the text mark drew $marked pixels"

# Web output: WebP under a size limit and progressive JPEG, both sharpened:
# the same pixels as on Linux, or within one level where the SIMD code
# differs, WebP decoded by libwebp's own dwebp.
for kind in webp jpeg; do
    case $kind in
        webp) web=(--format webp --max-file-size 60K --sharpen standard) result="Urlaub 2024/IMG_0003.webp" ;;
        jpeg) web=(--progressive --chroma 444 --sharpen high) result="Urlaub 2024/IMG_0003.jpeg" ;;
    esac
    "$linux/tessaly-batch" --size 900 "${web[@]}" --recursive --yes --output "$work/linux-$kind" "$in" >/dev/null ||
        fail "the Linux build's $kind run"
    (cd "$work" && wine "$windows/tessaly-batch.exe" --size 900 "${web[@]}" --recursive --yes \
        --output "$(winpath "$work/windows-$kind")" "$(winpath "$in")" >"$work/$kind.log" 2>&1) ||
        { cat "$work/$kind.log" >&2; fail "tessaly-batch.exe's $kind run"; }
    for side in linux windows; do
        file=$work/$side-$kind/$result
        [ "$kind" = jpeg ] || { dwebp -quiet "$file" -o "$file.png" && file=$file.png; } ||
            fail "dwebp cannot read the $side WebP result"
        cp "$file" "$work/$side-$kind.picture"
    done
    off=$(compare -metric AE -fuzz 0.5% "$work/linux-$kind.picture" "$work/windows-$kind.picture" null: 2>&1 || true)
    [ "$off" = "0" ] || fail "$kind output: $off pixels off by more than one level"
done
[ "$(stat -c %s "$work/windows-webp/Urlaub 2024/IMG_0003.webp")" -le 60000 ] || fail "a WebP result over its limit"

# A write-protected picture is refused and stays as it was.
mkdir -p "$work/protected"
cp "$in/Фото/IMG_0002.JPG" "$work/protected/a.jpg"
before=$(sha256sum <"$work/protected/a.jpg")
wine cmd /c attrib +R "$(winpath "$work/protected/a.jpg")" >/dev/null 2>&1
status=0
(cd "$work" && wine "$windows/tessaly-batch.exe" --size 800 --yes "$(winpath "$work/protected")" >"$work/ro.log" 2>&1) ||
    status=$?
[ "$status" = 1 ] || fail "a read-only picture: exit status $status, not 1"
grep -q "Permission denied" "$work/ro.log" || { cat "$work/ro.log" >&2; fail "a read-only picture: no 'Permission denied'"; }
[ "$(sha256sum <"$work/protected/a.jpg")" = "$before" ] || fail "a read-only picture was changed"

# Killed mid-write (as a log-off ends it), it leaves no temporary file:
# Windows deletes them itself.
mkdir -p "$work/killed"
for i in $(seq 1 16); do cp "$in/Фото/IMG_0002.JPG" "$work/killed/p$i.jpg"; done
(cd "$work" && wine "$windows/tessaly-batch.exe" --yes --jobs 1 "$(winpath "$work/killed")" >/dev/null 2>&1 &)
for _ in $(seq 1 100); do
    ls -A "$work/killed" | grep -q tessaly-unfinished && break
    sleep 0.1
done
pkill -9 -f 'tessaly-batch.exe' || true
wineserver -w
! ls -A "$work/killed" | grep -q tessaly-unfinished || fail "a killed run left a temporary file"

# A junction inside the output folder is never followed, where Wine can
# make one at all (skipped.txt says why 8.0 cannot).
mkdir -p "$work/junction/out" "$work/elsewhere"
if wine cmd /c mklink /J "$(winpath "$work/junction/out")\\Фото" "$(winpath "$work/elsewhere")" >/dev/null 2>&1 &&
    [ -e "$work/junction/out/Фото" ]; then
    status=0
    (cd "$work" && wine "$windows/tessaly-batch.exe" --recursive --yes --output "$(winpath "$work/junction/out")" \
        "$(winpath "$in")" >"$work/junction.log" 2>&1) || status=$?
    [ "$status" = 1 ] || fail "a junction in the output folder: exit status $status, not 1"
    grep -q "symbolic link or junction, which is never followed" "$work/junction.log" ||
        { cat "$work/junction.log" >&2; fail "a junction in the output folder is not named"; }
    [ -z "$(ls -A "$work/elsewhere")" ] || fail "written through a junction"
else
    echo "windows: a junction in the output folder: not checked, this Wine cannot make junctions"
fi

# The window's own tests, then the installer and a first start of the
# window, in a virtual display.
wineserver -k 2>/dev/null || true
wineserver -w
if ! (cd "$work" && xvfb-run -a -s "-screen 0 1280x1024x24" wine "$windows/tests/tessaly_gui_tests.exe" \
    --gtest_filter="-$skips" --gtest_brief=1 >"$work/gui.log" 2>&1); then
    cat "$work/gui.log" >&2
    fail "the window's tests"
fi
tail -n 3 "$work/gui.log"
wineserver -k 2>/dev/null || true
wineserver -w
xvfb-run -a -s "-screen 0 1280x1024x24" "$here/first-start.sh" "$windows" || fail "the first start"

echo "windows: Wine run took $((SECONDS - start)) s, $failures failed"
[ "$failures" = 0 ]
