#!/usr/bin/env python3
"""Checks the files that offer "Open with Tessaly" on folders in file
managers, each against what its file manager requires of it, and that the
desktop entry does not claim folders (that would make Tessaly the program
that opens them).
    tests/packaging/check_folder_actions.py PACKAGING_FOLDER"""
import configparser
import os
import sys

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def read(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str  # keys are case-sensitive
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    return parser


def list_value(value):
    return [item for item in value.split(";") if item]


def opens_folder(exec_line, name):
    words = exec_line.split()
    check(words[:1] == ["tessaly"], f"{name}: Exec starts tessaly")
    check(any(code in words for code in ("%f", "%F", "%u", "%U")), f"{name}: Exec is given the folder")


def main():
    folder = sys.argv[1]
    entry = read(os.path.join(folder, "example.tessaly.Tessaly.desktop"))["Desktop Entry"]
    check("inode/directory" not in list_value(entry.get("MimeType", "")), "the desktop entry leaves folders alone")

    dolphin = read(os.path.join(folder, "dolphin-servicemenu.desktop"))
    head = dolphin["Desktop Entry"]
    check(head.get("Type") == "Service", "Dolphin: Type=Service")
    check("inode/directory" in list_value(head.get("MimeType", "")), "Dolphin: offered on folders")
    actions = list_value(head.get("Actions", ""))
    check(len(actions) > 0, "Dolphin: an action")
    for action in actions:
        group = f"Desktop Action {action}"
        check(dolphin.has_section(group), f"Dolphin: [{group}]")
        if dolphin.has_section(group):
            check(dolphin[group].get("Name") == "Open with Tessaly", f"Dolphin: {action} named")
            opens_folder(dolphin[group].get("Exec", ""), f"Dolphin {action}")

    nemo = read(os.path.join(folder, "example.tessaly.Tessaly.nemo_action"))
    check(nemo.sections() == ["Nemo Action"], "Nemo: one [Nemo Action] group")
    action = nemo["Nemo Action"]
    check(action.get("Name") == "Open with Tessaly", "Nemo: named")
    check(action.get("Selection", "").lower() in ("s", "single"), "Nemo: one folder at a time")
    check("dir" in list_value(action.get("Extensions", "")), "Nemo: offered on folders")
    opens_folder(action.get("Exec", ""), "Nemo")

    caja = read(os.path.join(folder, "caja-action.desktop"))
    head = caja["Desktop Entry"]
    check(head.get("Type") == "Action", "Caja: Type=Action")
    check(head.get("Name") == "Open with Tessaly", "Caja: named")
    profiles = list_value(head.get("Profiles", ""))
    check(len(profiles) > 0, "Caja: a profile")
    for profile in profiles:
        group = f"X-Action-Profile {profile}"
        check(caja.has_section(group), f"Caja: [{group}]")
        if caja.has_section(group):
            check("inode/directory" in list_value(caja[group].get("MimeTypes", "")), f"Caja: {profile} on folders")
            opens_folder(caja[group].get("Exec", ""), f"Caja {profile}")

    for failure in failures:
        print("folder actions: not so:", failure, file=sys.stderr)
    return 1 if failures else 0


sys.exit(main())
