"""Driving the real Tessaly window through the accessibility bus and X, as a
user would: finding windows and controls, clicking, closing, checking."""

import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402
from Xlib import X, display, protocol  # noqa: E402

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout.strip()


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


def close_program(app, program):
    """Closes the main window as a window manager's close box would, answers
    Yes to the question and checks that the program ends well."""
    close_window("Tessaly 1.1")
    press(find(alert(app), "push button", "Yes"))
    check(program.wait(timeout=30) == 0, "the program ends with status 0")
