"""Drives the real Tessaly window through the accessibility bus, as a user
would: checks the dialogs, runs a batch on a folder of photos, closes the
program, then checks the rewritten files and prefs.cfg."""

import os
import shutil
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402
from Xlib import X, display, protocol  # noqa: E402

BUILD, WORK, SHOTS = sys.argv[1], sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else ""
ALBUM = os.path.join(WORK, "album")
APP_DIR = os.path.join(WORK, "start")
CONVERT = "/usr/bin/convert"
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout.strip()


def make_album():
    """Photo-like pictures: fractal clouds, some with an EXIF orientation."""
    os.makedirs(ALBUM)
    pictures = [("landscape.jpg", "2400x1600", None), ("portrait.JPG", "1600x2400", None),
                ("turned.jpeg", "2400x1600", 6), ("small.jpg", "640x480", None)]
    for name, size, orientation in pictures:
        path = os.path.join(ALBUM, name)
        run(CONVERT, "-size", size, "-seed", "7", "plasma:grey50-grey60", "-quality", "95", path)
        if orientation:
            run("exiftool", "-q", "-overwrite_original", f"-Orientation#={orientation}", path)
    return len(pictures)


def wait_for(what, find, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    raise RuntimeError("timed out waiting for " + what)


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.get_child_count()):
        yield from walk(node.get_child_at_index(i), depth + 1)


def app_node(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def find(root, role, name=None):
    for node in walk(root):
        if node.get_role_name() == role and (name is None or node.get_name() == name):
            return node
    return None


def texts(node):
    return [n.get_name() for n in walk(node) if n.get_role_name() == "label"]


def click(node):
    """A real mouse click at the centre: the accessible action would block
    on a button that opens a modal dialog."""
    box = node.get_extents(Atspi.CoordType.SCREEN)
    run("xdotool", "mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1")


def press(node):
    Atspi.Action.do_action(node, 0)


def screenshot(name):
    if SHOTS:
        run("xdotool", "mousemove", "0", "0")  # no tool tip in the picture
        time.sleep(0.3)
        os.makedirs(SHOTS, exist_ok=True)
        run("import", "-window", "root", os.path.join(SHOTS, name))


def frame(app, title):
    return wait_for(title, lambda: find(app, "frame", title) or find(app, "dialog", title))


def alert(app):
    return wait_for("a message box", lambda: find(app, "alert"))


def close_window(title):
    """Sends WM_DELETE_WINDOW, as a window manager's close box would."""
    d = display.Display()
    root = d.screen().root
    delete = d.intern_atom("WM_DELETE_WINDOW")
    protocols = d.intern_atom("WM_PROTOCOLS")
    for window in root.query_tree().children:
        if window.get_wm_name() == title:
            event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                                 data=(32, [delete, X.CurrentTime, 0, 0, 0]))
            window.send_event(event)
    d.sync()
    d.close()


def main():
    count = make_album()
    os.makedirs(APP_DIR)
    with open(os.path.join(APP_DIR, "prefs.cfg"), "w") as prefs:
        prefs.write(f"WorkingDir = {ALBUM}\nResize = 1\nRotate = 1\nUseWatermark = 1\n"
                    "Width = 800\nQuality = 82\nAlpha = 0.2\nWmPlacement = 5\n")
    program = subprocess.Popen([os.path.join(BUILD, "tessaly")], cwd=APP_DIR)
    try:
        app = wait_for("the program on the accessibility bus", lambda: app_node(program.pid))
        main_window = frame(app, "Tessaly 1.1")
        time.sleep(0.5)
        screenshot("main.png")
        check(find(main_window, "check box", "Use watermark") is not None, "main dialog shows its check boxes")

        click(find(main_window, "push button", "Preferences"))
        preferences = frame(app, "Tessaly 1.1 | Preferences")
        time.sleep(0.5)
        screenshot("preferences.png")
        click(find(preferences, "push button", "Cancel"))

        click(find(main_window, "push button", "About"))
        about = frame(app, "Tessaly 1.1 | About")
        time.sleep(0.5)
        screenshot("about.png")
        check("version 1.1" in texts(about), "About shows the version")
        click(find(about, "push button", "Close"))
        time.sleep(0.5)

        click(find(main_window, "push button", "OK"))
        question = alert(app)
        check(any(t.endswith(f"Number of files about to processed: {count}") for t in texts(question)),
              "the confirmation counts the pictures")
        press(find(question, "push button", "Yes"))

        titles = set()
        gauge_values = set()

        def statistics_box():
            titles.add(main_window.get_name())
            bar = find(main_window, "progress bar")
            if bar is not None:
                gauge_values.add(Atspi.Value.get_current_value(bar))
            return find(app, "alert")

        statistics = wait_for("the statistics", statistics_box, timeout=120)
        screenshot("statistics.png")
        check(any(t.startswith("Tessaly 1.1 - ") and t.endswith(f"/{count}") for t in titles),
              "the title showed the progress")
        message = "\n".join(texts(statistics))
        check(f"Resized: {count - 1}" in message and "Rotated: 1" in message and f"Watermarked: {count}" in message,
              "the statistics count the work: " + message.replace("\n", " "))
        press(find(statistics, "push button", "OK"))
        wait_for("the title back", lambda: True if main_window.get_name() == "Tessaly 1.1" else None)

        close_window("Tessaly 1.1")
        exit_question = alert(app)
        check("Do you really want to exit?" in texts(exit_question), "closing asks first")
        press(find(exit_question, "push button", "Yes"))
        check(program.wait(timeout=30) == 0, "the program ends with status 0")
    finally:
        if program.poll() is None:
            program.kill()

    sizes = {name: run("identify", "-format", "%w %h %Q", os.path.join(ALBUM, name)) for name in os.listdir(ALBUM)}
    check(sizes["landscape.jpg"] == "800 533 82", "landscape shrunk into 800 at quality 82: " + sizes["landscape.jpg"])
    check(sizes["portrait.JPG"].startswith("533 800"), "portrait shrunk: " + sizes["portrait.JPG"])
    check(sizes["turned.jpeg"].startswith("533 800"), "orientation 6 turned upright: " + sizes["turned.jpeg"])
    check(sizes["small.jpg"].startswith("640 480"), "small picture kept its size: " + sizes["small.jpg"])
    check(run("exiftool", "-s3", "-Orientation", os.path.join(ALBUM, "turned.jpeg")) == "",
          "no orientation left behind")
    # The default watermark's light letters in the grey picture's centre.
    centre = run(CONVERT, os.path.join(ALBUM, "landscape.jpg"), "-crop", "100x30+350+250", "-format",
                 "%[fx:maxima.intensity*255]", "info:")
    check(float(centre) > 200, "watermark present in the centre (brightest " + centre + ")")
    saved = open(os.path.join(APP_DIR, "prefs.cfg")).read()
    check(f"WorkingDir = {ALBUM} \n" in saved and "Width = 800 \n" in saved and "Alpha = 0.200000 \n" in saved,
          "prefs.cfg saved at close")

    print(f"e2e: {len(failures)} failed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
