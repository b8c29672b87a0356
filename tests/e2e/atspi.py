"""Reads the program's accessibility tree over AT-SPI, as a screen reader does.

Run with Debian's own /usr/bin/python3 (it has pyatspi), on the session bus of the test.

  atspi.py check PID WINDOW ROLE=NAME...  every operable control of WINDOW has a name, and each
                                          ROLE=NAME is there; prints what is wrong
  atspi.py name PID WINDOW ROLE [DESC]    the name of the first ROLE (with description DESC)
  atspi.py selected PID WINDOW ROLE       the name of the selected child of the first ROLE
  atspi.py focused PID                    ROLE=NAME of the object that has the keyboard focus
  atspi.py listen FILE                    appends ROLE=NAME of every object the focus goes to,
                                          and name:ROLE=NAME of every object renamed
  atspi.py dump PID                       the whole tree, for a look by hand

WINDOW is a pattern the whole accessible name of a top-level window matches (the main window's
name is the day it shows). Only what is showing counts.
"""

import re
import sys

import pyatspi

# What a user operates; a table cell or list item only when it can be selected.
OPERABLE = {
    "push button", "toggle button", "check box", "radio button", "text", "password text",
    "entry", "table", "list", "tree", "combo box", "spin button", "slider", "page tab",
    "menu item", "table cell", "list item",
}
SELECTABLE_ONLY = {"table cell", "list item"}


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    sys.exit(f"no application with process {pid} on the accessibility bus")


def has(acc, state):
    return acc.getState().contains(state)


def showing(acc):
    return has(acc, pyatspi.STATE_SHOWING)


def descendants(acc):
    for child in acc:
        if child is None or not showing(child):
            continue
        yield child
        yield from descendants(child)


def window(pid, name):
    for top in application(pid):
        if top is not None and re.fullmatch(name, top.name) and showing(top):
            return top
    sys.exit(f"no window named {name!r} is showing")


def label(acc):
    return f"{acc.getRoleName()}={acc.name}"


def operable(acc):
    role = acc.getRoleName()
    if role not in OPERABLE:
        return False
    return role not in SELECTABLE_ONLY or has(acc, pyatspi.STATE_SELECTABLE)


def check(pid, name, expected):
    top = window(pid, name)
    found = [label(acc) for acc in descendants(top)]
    problems = [f"nameless {acc.getRoleName()}" for acc in descendants(top)
                if operable(acc) and not acc.name.strip()]
    problems += [f"focusable {acc.getRoleName()} has no name" for acc in descendants(top)
                 if has(acc, pyatspi.STATE_FOCUSABLE) and not acc.name.strip()
                 and acc.getRoleName() not in SELECTABLE_ONLY]
    problems += [f"missing {want}" for want in expected if want not in found]
    for problem in problems:
        print(problem)
    if problems:
        print("found: " + ", ".join(found))
    return 1 if problems else 0


def first(pid, name, role, description=None):
    for acc in descendants(window(pid, name)):
        if acc.getRoleName() == role and description in (None, acc.description):
            return acc
    sys.exit(f"no {role} in {name!r}")


def focused(pid):
    for top in application(pid):
        if top is None or not showing(top):
            continue
        for acc in descendants(top):
            if has(acc, pyatspi.STATE_FOCUSED):
                return label(acc)
    return ""


def listen(path):
    with open(path, "a", encoding="utf-8") as log:
        def heard(event):
            if event.type == "object:property-change:accessible-name":
                log.write("name:" + label(event.source) + "\n")
            elif event.type == "object:state-changed:focused" and event.detail1 == 1:
                log.write(label(event.source) + "\n")
            log.flush()
        pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused",
                                               "object:property-change:accessible-name")
        print("listening", flush=True)
        pyatspi.Registry.start()


def dump(acc, depth=0):
    states = ",".join(pyatspi.stateToString(s) for s in acc.getState().getStates())
    print(f"{'  ' * depth}{label(acc)} | {acc.description} | {states}")
    for child in acc:
        if child is not None:
            dump(child, depth + 1)


def main(argv):
    command = argv[1]
    if command == "check":
        return check(int(argv[2]), argv[3], argv[4:])
    if command == "name":
        print(first(int(argv[2]), argv[3], argv[4], *argv[5:6]).name)
    elif command == "selected":
        table = first(int(argv[2]), argv[3], argv[4])
        print("\n".join(c.name for c in table if c is not None and has(c, pyatspi.STATE_SELECTED)))
    elif command == "focused":
        print(focused(int(argv[2])))
    elif command == "listen":
        listen(argv[2])
    elif command == "dump":
        dump(application(int(argv[2])))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
