"""Uses the real Tessaly window as someone would who hears it through a
screen reader and works it with the keyboard alone: every control has a
name, Tab follows the layout, Enter presses the default button, Escape
cancels the Preferences, also when Automatic hides the placement buttons.
Also starts it on a folder given as its argument and types a folder made
after it started."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from atspi_user import Atspi, alert, app_node, check, close_program, failures, find, frame, run, wait_for, walk

BUILD = sys.argv[1]
WORK = tempfile.mkdtemp()
ALBUM = os.path.join(WORK, "album")
APP_DIR = os.path.join(WORK, "start")


def has(node, state):
    return node.get_state_set().contains(state)


def unnamed(window):
    return [n.get_role_name() for n in walk(window)
            if has(n, Atspi.StateType.FOCUSABLE) and has(n, Atspi.StateType.SHOWING) and not n.get_name()]


def focused(window):
    return next((n for n in walk(window) if has(n, Atspi.StateType.FOCUSED)), None)


def key(*keys):
    run("xdotool", "key", *keys)
    time.sleep(0.3)


def focus(node):
    Atspi.Component.grab_focus(node)
    time.sleep(0.3)


def text_of(node):
    return Atspi.Text.get_text(node, 0, -1)


def shown(app, title):
    return next((n for n in walk(app) if n.get_name() == title and n.get_role_name() in ("dialog", "frame")
                 and has(n, Atspi.StateType.SHOWING)), None)


def gone(app, title):
    return wait_for("no " + title, lambda: True if shown(app, title) is None else None)


def keyboard_to(title):
    """Without a window manager, X gives the keyboard to no new window."""
    window = run("xdotool", "search", "--all", "--onlyvisible", "--name", "^" + title.replace("|", "\\|") + "$")
    run("xdotool", "windowfocus", "--sync", window.split()[0])


def main():
    os.makedirs(ALBUM)
    os.makedirs(APP_DIR)
    with open(os.path.join(APP_DIR, "prefs.cfg"), "w") as prefs:
        prefs.write(f"WorkingDir = {WORK}\nResize = 1\nWidth = 800\nQuality = 82\nAutoPlacement = 1\n")
    program = subprocess.Popen([os.path.join(BUILD, "tessaly"), ALBUM], cwd=APP_DIR)
    try:
        app = wait_for("the program on the accessibility bus", lambda: app_node(program.pid))
        window = frame(app, "Tessaly 1.1")
        time.sleep(0.5)
        keyboard_to("Tessaly 1.1")
        check(focused(window) is not None and focused(window).get_name() == "Folders",
              "the window opens with the folder tree to type to")
        path = find(window, "text", "Folder to process")
        check(path is not None and text_of(path) == ALBUM, "started on the folder given as its argument")
        check(unnamed(window) == [], "every control of the main window has a name: " + str(unnamed(window)))

        focus(path)
        order = []
        for _ in range(10):
            key("Tab")
            node = focused(window)
            order.append(node.get_name() if node is not None else None)
        check(order == ["Resize", "Auto - rotate", "Use watermark", "Max size [px]", "Fit", "Include subfolders",
                        "Quality [%]", "OK", "Preferences", "About"], "Tab follows the layout: " + str(order))

        fit = find(window, "text", "Fit")
        focus(fit)
        key("Down")
        check(text_of(fit) == "Long side", "the arrow keys choose the fit: " + text_of(fit))
        key("Up")

        size = find(window, "text", "Max size [px]")
        focus(size)
        key("ctrl+a")
        run("xdotool", "type", "1,600")
        time.sleep(0.3)
        check(text_of(size) == "1600", "the max size takes digits only: " + text_of(size))

        focus(find(window, "check box", "Resize"))
        key("Return")
        question = alert(app)
        check(question is not None, "Enter presses OK, which asks first")
        key("Escape")
        wait_for("the question answered", lambda: True if find(app, "alert") is None else None)

        for closing in ("Escape", "Return"):
            keyboard_to("Tessaly 1.1")
            focus(find(window, "push button", "Preferences"))
            key("space")
            preferences = wait_for("the Preferences", lambda: shown(app, "Tessaly 1.1 | Preferences"))
            time.sleep(0.5)
            check(unnamed(preferences) == [], "every control of the Preferences has a name: " + str(unnamed(preferences)))
            keyboard_to("Tessaly 1.1 | Preferences")
            first = focused(preferences)
            check(first is not None and has(first, Atspi.StateType.SHOWING),
                  "the Preferences open with a control to type to, one that is shown")
            places = sorted(n.get_name() for n in walk(preferences) if n.get_role_name() == "check box"
                            and n.get_name().startswith("Placement: ") and has(n, Atspi.StateType.SHOWING))
            check(len(places) == 9 and "Placement: Top left" in places,
                  "Automatic's places are named as the placement buttons are: " + str(places))
            # Tab goes on from there, and Ctrl+Page Down through every page.
            stops = []
            for _ in range(3):
                key("Tab")
                stops.append(focused(preferences))
            check(None not in stops and len({id(s) for s in stops}) == 3 and first not in stops,
                  "Tab moves on through the Preferences")
            tabs = [n for n in walk(preferences) if n.get_role_name() == "page tab"]
            chosen = []
            for _ in range(len(tabs)):
                chosen.append(next((t.get_name() for t in tabs if has(t, Atspi.StateType.SELECTED)), None))
                key("ctrl+Next")
            check(len(tabs) == 5 and len(set(chosen)) == 5, "Ctrl+Page Down shows every page: " + str(chosen))
            key(closing)
            gone(app, "Tessaly 1.1 | Preferences")
        check(find(app, "alert") is None, "Escape and Enter close the Preferences without a word")

        keyboard_to("Tessaly 1.1")
        later = os.path.join(WORK, "made later")
        os.makedirs(later)
        Atspi.EditableText.set_text_contents(path, later)
        focus(path)
        key("Return")
        time.sleep(0.5)
        check(text_of(path) == later, "a folder made later is selected exactly: " + text_of(path))

        close_program(app, program)
    finally:
        if program.poll() is None:
            program.kill()
    saved = open(os.path.join(APP_DIR, "prefs.cfg")).read()
    check(f"WorkingDir = {later} \n" in saved, "the folder chosen is kept")
    shutil.rmtree(WORK)
    print(f"keyboard: {len(failures)} failed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
