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


def check_groups(parser, names, prefix, label, each):
    """Each named group ([prefix name]) is there, and each(group, name) holds."""
    check(len(names) > 0, f"{label}: a {prefix.lower()}")
    for name in names:
        group = f"{prefix} {name}"
        check(parser.has_section(group), f"{label}: [{group}]")
        if parser.has_section(group):
            each(parser[group], f"{label} {name}")


def main():
    folder = sys.argv[1]
    entry = read(os.path.join(folder, "example.tessaly.Tessaly.desktop"))["Desktop Entry"]
    check("inode/directory" not in list_value(entry.get("MimeType", "")), "the desktop entry leaves folders alone")

    dolphin = read(os.path.join(folder, "dolphin-servicemenu.desktop"))
    head = dolphin["Desktop Entry"]
    check(head.get("Type") == "Service", "Dolphin: Type=Service")
    check("inode/directory" in list_value(head.get("MimeType", "")), "Dolphin: offered on folders")

    def dolphin_action(group, name):
        check(group.get("Name") == "Open with Tessaly", f"{name} named")
        opens_folder(group.get("Exec", ""), name)

    check_groups(dolphin, list_value(head.get("Actions", "")), "Desktop Action", "Dolphin", dolphin_action)

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

    def caja_profile(group, name):
        check("inode/directory" in list_value(group.get("MimeTypes", "")), f"{name} on folders")
        opens_folder(group.get("Exec", ""), name)

    check_groups(caja, list_value(head.get("Profiles", "")), "X-Action-Profile", "Caja", caja_profile)

    for failure in failures:
        print("folder actions: not so:", failure, file=sys.stderr)
    return 1 if failures else 0


sys.exit(main())
