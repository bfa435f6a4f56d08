#!/usr/bin/python3
"""Reads the running tarnwick as a screen reader does, through AT-SPI, and drives it there.

atspi-read.py URL_LOG
Prints every control that takes the focus with its role, name and description, and fails
(exit status 1), saying what it read, when one differs from what a user must hear. Then, only
through AT-SPI actions: presses the donation picture, which must open the donations page (the
links go to `xdg-open`, which the caller replaces by one that appends its URL to URL_LOG); and
selects "Maxthon" and presses the presets' Apply, after which the current-default line must
announce its new name. Debian's own interpreter: pyatspi is a Debian package.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

TITLE = "Tarnwick v1.5 for Windows\u00ae XP"
DONATIONS = "http://tarnwick.example.com/donate.htm"
NEW_LINE = "Maxthon Web Browser is currently the default browser."

# (role, name, description) of each control the keyboard reaches, in the window's order.
EXPECTED = [("radio button", name, "") for name in (
    "GreenBrowser", "Internet Explorer 6", "Maxthon", "SlimBrowser", "Crazy Browser",
    "Mozilla Firefox", "Deepnet Explorer", "Avant Browser")] + [
    ("push button", "Apply", "Sets the chosen preset as the default browser"),
    ("text", "Select your web browser:", ""),
    ("push button", "Browse for the browser's program", ""),
    ("push button", "Apply", "Sets the browser program in the box as the default browser"),
    ("push button", "Reset", "Reset the default browser settings for your user profile."),
    ("push button", "Homepage", "Visit Homepage"),
    ("push button", "About", ""),
    ("link", "Donate (via PayPal)", ""),
]

failures = []


def fail(message):
    print("atspi-read: FAILED: " + message, file=sys.stderr)
    failures.append(message)


def find_frame(seconds=30):
    """The program's main window, once the program has registered with the bus."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
            if app is None or app.name != "tarnwick":
                continue
            for window in (app.getChildAtIndex(i) for i in range(app.childCount)):
                if window is not None and window.name == TITLE:
                    return window
        time.sleep(0.5)
    return None


def walk(node):
    yield node
    for child in (node.getChildAtIndex(i) for i in range(node.childCount)):
        if child is not None:
            yield from walk(child)


def do_action(node, action_name):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action_name not in names:
        fail(f"{node.getRoleName()} '{node.name}' has the actions {names}, not '{action_name}'")
        return
    actions.doAction(names.index(action_name))


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return False


def main():
    url_log = sys.argv[1]
    frame = find_frame()
    if frame is None:
        fail(f"no window '{TITLE}' of an application 'tarnwick' on the accessibility bus")
        return
    print(f"{frame.getRoleName()} '{frame.name}'")
    if frame.getRoleName() != "frame":
        fail(f"the main window is a '{frame.getRoleName()}', not a 'frame'")

    read = []
    for node in walk(frame):
        if node is not frame and node.getState().contains(pyatspi.STATE_FOCUSABLE):
            read.append((node.getRoleName(), node.name, node.description or "", node))
            print(f"  {node.getRoleName()} '{node.name}'" +
                  (f" ({node.description})" if node.description else ""))
    heard = [entry[:3] for entry in read]
    if heard != EXPECTED:
        for i in range(max(len(heard), len(EXPECTED))):
            got = heard[i] if i < len(heard) else None
            want = EXPECTED[i] if i < len(EXPECTED) else None
            if got != want:
                fail(f"control {i + 1}: read {got}, expected {want}")
    by_name = {(role, name, description): node for role, name, description, node in read}

    # The donation picture, pressed as a screen reader presses it.
    link = by_name.get(EXPECTED[-1])
    if link is not None:
        do_action(link, "Press")
        if not wait_for(lambda: DONATIONS in open(url_log).read(), 10):
            fail(f"pressing the donation picture opened no {DONATIONS}")
        else:
            print(f"pressed '{link.name}': {DONATIONS} opened")

    # An apply through AT-SPI; the current-default line must announce its new name.
    option = by_name.get(EXPECTED[2])
    apply = by_name.get(EXPECTED[8])
    if option is None or apply is None:
        return
    announced = []

    def on_name(event):
        # The event names its source; the new name is read from it.
        source = event.source
        source.clear_cache()
        if source.getRoleName() == "label" and source.name == NEW_LINE:
            announced.append(source.name)
            pyatspi.Registry.stop()

    # Each step runs from the event loop, which the announcement needs running.
    deadline = time.monotonic() + 10

    def select():
        do_action(option, "Toggle")
        GLib.timeout_add(200, press_when_enabled)
        return False

    def press_when_enabled():
        apply.clear_cache()  # a state read before is kept, and no event we listen to renews it
        if apply.getState().contains(pyatspi.STATE_ENABLED):
            do_action(apply, "Press")
            return False
        if time.monotonic() > deadline:
            fail("selecting Maxthon did not enable the presets' Apply")
            pyatspi.Registry.stop()
            return False
        return True

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    GLib.timeout_add(200, select)
    GLib.timeout_add_seconds(20, lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    if announced:
        print(f"pressed Maxthon and Apply: the line announced '{announced[0]}'")
    else:
        fail(f"after an apply of Maxthon no label announced the name '{NEW_LINE}'")


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
