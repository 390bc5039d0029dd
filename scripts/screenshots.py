"""Starts Tessaly as its user would, in the user's own configuration
folder, and takes the manual's screenshots: the main window, the
Preferences with the preview showing the first photo, and About; in the
language LANG names (po/LANG.po), in English without one.
    python3 scripts/screenshots.py PROGRAM HOME OUT [LANG]"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../tests/e2e"))
from atspi_user import app_node, click, find, frame, run, texts, wait_for  # noqa: E402

PROGRAM, HOME, OUT = sys.argv[1:4]
LANGUAGE = sys.argv[4] if len(sys.argv) > 4 else ""


def catalog(language):
    """English text -> its translation, from the language's po file."""
    if not language:
        return {}
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../po", language + ".po")
    entries, key, field = {}, None, None
    for line in open(path, encoding="utf-8").read().split("\n") + [""]:
        if line.startswith("msgid "):
            key, field = line[7:-1], "id"
        elif line.startswith("msgstr "):
            entries[key], field = line[8:-1], "str"
        elif line.startswith('"') and field == "id":
            key += line[1:-1]
        elif line.startswith('"') and field == "str":
            entries[key] += line[1:-1]
    return {k.replace('\\"', '"'): v.replace('\\"', '"') for k, v in entries.items() if k}


WORDS = catalog(LANGUAGE)


def tr(english):
    return WORDS.get(english, english)


def screenshot(name, title=None):
    """The screen, or only the window of that title (a dialog over the main
    window)."""
    run("xdotool", "mousemove", "0", "0")  # no tool tip in the picture
    time.sleep(0.5)
    window = run("xdotool", "search", "--name", f"^{title}$").split()[0] if title else "root"
    run("import", "-window", window, os.path.join(OUT, name))


def main():
    config = os.path.join(HOME, ".config/tessaly")
    language = {"LANG": f"{LANGUAGE}_{LANGUAGE.upper()}.UTF-8"} if LANGUAGE else {}
    program = subprocess.Popen([PROGRAM], cwd=config, env=dict(os.environ, HOME=HOME, **language))
    try:
        app = wait_for("the program on the accessibility bus", lambda: app_node(program.pid))
        main_window = frame(app, "Tessaly 1.1")
        time.sleep(1)
        screenshot("main.png")

        click(find(main_window, "push button", tr("Preferences")))
        preferences = frame(app, "Tessaly 1.1 | " + tr("Preferences"))
        wait_for("the preview", lambda: True if any(" (1 " in t for t in texts(preferences)) else None)
        time.sleep(1)
        screenshot("preferences.png")
        click(find(preferences, "push button", tr("Cancel")))

        click(find(main_window, "push button", tr("About")))
        about = frame(app, "Tessaly 1.1 | " + tr("About"))
        time.sleep(0.5)
        screenshot("about.png", "Tessaly 1.1 \\| " + tr("About"))
        click(find(about, "push button", tr("Close")))
    finally:
        program.kill()
        program.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
