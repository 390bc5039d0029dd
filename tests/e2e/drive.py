"""Drives the real Tessaly window through the accessibility bus, as a user
would: checks the dialogs, runs a batch on a folder of photos, closes the
program, then checks the rewritten files and prefs.cfg."""

import os
import subprocess
import sys
import time

from atspi_user import (Atspi, alert, app_node, check, click, close_window, failures, find, frame, press, run,
                        texts, wait_for)

BUILD, WORK = sys.argv[1], sys.argv[2]
ALBUM = os.path.join(WORK, "album")
APP_DIR = os.path.join(WORK, "start")
RESULTS = os.path.join(WORK, "web #1")
CONVERT = "/usr/bin/convert"


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


def shows(window, label):
    wait_for(label, lambda: True if label in texts(window) else None)


def save_to_folder(app, main_window):
    """Ticks "Save results to folder" in the Preferences and runs the batch
    again; gives the originals' bytes from before."""
    originals = {name: open(os.path.join(ALBUM, name), "rb").read() for name in os.listdir(ALBUM)}
    click(find(main_window, "push button", "Preferences"))
    preferences = frame(app, "Tessaly 1.1 | Preferences")
    press(find(preferences, "check box", "Save results to folder"))
    Atspi.EditableText.set_text_contents(find(preferences, "text", "Results folder"), RESULTS)
    click(find(preferences, "push button", "OK"))
    wait_for("the Preferences to close", lambda: None if find(app, "dialog", "Tessaly 1.1 | Preferences") else True)
    click(find(main_window, "push button", "OK"))
    question = alert(app)
    check(any(t.endswith("\nResults go to: " + RESULTS) for t in texts(question)), "the question names the folder")
    press(find(question, "push button", "Yes"))
    statistics = wait_for("the statistics", lambda: find(app, "alert"), timeout=120)
    press(find(statistics, "push button", "OK"))
    wait_for("the title back", lambda: True if main_window.get_name() == "Tessaly 1.1" else None)
    return originals


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
        check(find(main_window, "check box", "Use watermark") is not None, "main dialog shows its check boxes")

        click(find(main_window, "push button", "Preferences"))
        preferences = frame(app, "Tessaly 1.1 | Preferences")
        shows(preferences, "landscape.jpg (1 of 4)")
        check(find(preferences, "icon", "Preview") or find(preferences, "image", "Preview"), "the preview is named")
        check("2400 × 1600 → 800 × 533" in texts(preferences), "the preview gives the sizes")
        press(find(preferences, "push button", "Next picture"))
        shows(preferences, "portrait.JPG (2 of 4)")
        check("1600 × 2400 → 533 × 800" in texts(preferences), "the next picture's sizes")
        click(find(preferences, "push button", "Cancel"))

        click(find(main_window, "push button", "About"))
        about = frame(app, "Tessaly 1.1 | About")
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
        check(any(t.startswith("Tessaly 1.1 - ") and t.endswith(f"/{count}") for t in titles),
              "the title showed the progress")
        message = "\n".join(texts(statistics))
        check(f"Resized: {count - 1}" in message and "Rotated: 1" in message and f"Watermarked: {count}" in message,
              "the statistics count the work: " + message.replace("\n", " "))
        press(find(statistics, "push button", "OK"))
        wait_for("the title back", lambda: True if main_window.get_name() == "Tessaly 1.1" else None)
        originals = save_to_folder(app, main_window)

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
    check(all(open(os.path.join(ALBUM, name), "rb").read() == data for name, data in originals.items()),
          "saving to a folder left the originals as they were")
    check(sorted(os.listdir(RESULTS)) == sorted(originals), "every result in the results folder")
    saved = open(os.path.join(APP_DIR, "prefs.cfg")).read()
    check(f"WorkingDir = {ALBUM} \n" in saved and "Width = 800 \n" in saved and "Alpha = 0.200000 \n" in saved,
          "prefs.cfg saved at close")
    check(saved.endswith("SaveToFolder = 1\nResultsFolder = " + RESULTS.replace("#", "%23") + "\n"),
          "the results folder kept in prefs.cfg")

    print(f"e2e: {len(failures)} failed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
