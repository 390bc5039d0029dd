"""Starts the installed Tessaly as its menu entry does and checks it as a
user of the installed program would see it."""

import os
import shlex
import subprocess
import sys
import time

from atspi_user import (Atspi, alert, app_node, check, click, close_program, failures, find, frame, press,
                        texts, wait_for)
from Xlib import display

WORK = sys.argv[1]
HOME = os.environ["HOME"]
STAGE = os.path.join(WORK, "stage")
PROGRAM_DIR = os.path.join(STAGE, "usr/lib/tessaly")
APP_ID = "example.tessaly.Tessaly"
CONFIG = os.path.join(HOME, ".config/tessaly")


def desktop_entry():
    entry = {}
    with open(os.path.join(STAGE, "usr/share/applications", APP_ID + ".desktop")) as f:
        for line in f:
            key, _, value = line.strip().partition("=")
            entry[key] = value
    return entry


def window_classes(title):
    d = display.Display()
    found = [w.get_wm_class() for w in d.screen().root.query_tree().children if w.get_wm_name() == title]
    d.close()
    return found


def default_prefs():
    return ("#Tessaly 1.1 configuration file\nWorkingDir = /\n"
            f"WaterImgFile = {os.path.realpath(PROGRAM_DIR)}/data/wm.png\n"
            "Resize = 1\nUseWatermark = 1\nRotate = 1\nWidth = 800\nHeight = 800\nAlpha = 0.2\n"
            "Quality = 82\nIncludeSubdirectories = 0\nWmPlacement = 5\n")


def read(path):
    try:
        with open(path) as f:
            return f.read()
    except FileNotFoundError:
        return None


def text_mark_font():
    """The terminal program, installed apart from the window, finds the
    text mark's font that the package links to."""
    album = os.path.join(WORK, "album")
    os.makedirs(album, exist_ok=True)
    subprocess.run(["convert", "-size", "64x48", "xc:gray", os.path.join(album, "p.jpg")], check=True)
    done = subprocess.run([os.path.join(STAGE, "usr/bin/tessaly-batch"), "--text", "{name}", "--dry-run", album],
                          capture_output=True, text=True)
    check(done.returncode == 0 and 'watermarked with "p"' in done.stdout,
          "the installed tessaly-batch draws a text mark: " + done.stdout + done.stderr)


def main():
    text_mark_font()
    entry = desktop_entry()
    # Started from the menu, the entry's field codes (%f) stand for nothing.
    command = [word for word in shlex.split(entry["Exec"]) if not word.startswith("%")]
    program = subprocess.Popen(command, cwd=HOME)
    try:
        app = wait_for("the program on the accessibility bus", lambda: app_node(program.pid))
        first_start = alert(app)
        check("Generating default config..." in texts(first_start), "the first start says it creates prefs.cfg")
        press(find(first_start, "push button", "OK"))
        main_window = frame(app, "Tessaly 1.1")
        check(read(os.path.join(CONFIG, "prefs.cfg")) == default_prefs(),
              "prefs.cfg created in ~/.config/tessaly with the default content")
        watermark = find(main_window, "check box", "Use watermark")
        check(watermark.get_state_set().contains(Atspi.StateType.SENSITIVE), "the default watermark is found")
        classes = window_classes("Tessaly 1.1")
        check(bool(classes) and classes[0][0] == entry["StartupWMClass"],
              f"the window's class {classes} matches the desktop entry's {entry['StartupWMClass']}")

        click(find(main_window, "push button", "About"))
        about = frame(app, "Tessaly 1.1 | About")
        time.sleep(0.5)
        click(find(about, "push button", "Help"))
        manual = os.path.join(os.path.realpath(PROGRAM_DIR), "documents/Tessaly_1.1_manual.pdf")
        opened = os.path.join(WORK, "opened.txt")
        try:
            wait_for("the opener", lambda: read(opened) or None, timeout=10)
        except RuntimeError:
            pass
        check(read(opened) == f"1\n{manual}\n", f"Help opens the installed manual: {read(opened)!r}")
        click(find(about, "push button", "Close"))
        time.sleep(0.5)

        close_program(app, program)
    finally:
        if program.poll() is None:
            program.kill()

    check(sorted(os.listdir(CONFIG)) == ["prefs.cfg"], f"the configuration folder holds: {os.listdir(CONFIG)}")
    # The toolkit's own caches (.cache, .local) are not ours.
    visible = [name for name in os.listdir(HOME) if not name.startswith(".")]
    check(visible == [], f"nothing in the home folder itself: {visible}")
    print(f"installed: {len(failures)} failed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
