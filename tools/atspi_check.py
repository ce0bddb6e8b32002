#!/usr/bin/python3
"""Reads the reading pane through AT-SPI, as a screen reader (Orca) would.

Needs at-spi2-core, python3-pyatspi (Debian's, hence /usr/bin/python3) and
xvfb. Run the reader and this script on one private session bus, e.g.:

    h=$(mktemp -d); mkdir -m 700 $h/run
    HOME=$h XDG_RUNTIME_DIR=$h/run dbus-run-session -- sh -c '
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb \
            xvfb-run -a build/txtreader tests/data/xiyouji.gbk.txt &
        /usr/bin/python3 tools/atspi_check.py'

(A HOME and runtime folder of its own: a reader already running for this
user would take the book over and the new one would quit at once.) It
waits, up to --timeout seconds, for the reader on the accessibility bus,
prints the pane's name,
role, states, caret, the start of its text and its first line, presses the
下一页 button through AT-SPI and prints the pane's new name and first
line. Exit status 0 when the pane was read and renamed after the step.
"""
import argparse
import sys
import time

import pyatspi


def find_pane(node, depth=0):
    """The first multi-line text object with text below `node`."""
    if node is None or depth > 20:
        return None
    try:
        text = node.queryText()
        if node.getState().contains(pyatspi.STATE_MULTI_LINE) and text.characterCount > 0:
            return node
    except NotImplementedError:
        pass
    for i in range(node.childCount):
        found = find_pane(node.getChildAtIndex(i), depth + 1)
        if found is not None:
            return found
    return None


def find_named(node, prefix, depth=0):
    """The first object below `node` whose name starts with `prefix`."""
    if node is None or depth > 20:
        return None
    if node.name and node.name.startswith(prefix):
        return node
    for i in range(node.childCount):
        found = find_named(node.getChildAtIndex(i), prefix, depth + 1)
        if found is not None:
            return found
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--app", help="the application's name on the bus (default: any)")
    parser.add_argument("--timeout", type=float, default=30)
    args = parser.parse_args()

    deadline = time.monotonic() + args.timeout
    pane = None
    while pane is None and time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and args.app in (None, app.name) and pane is None:
                pane = find_pane(app)
        if pane is None:
            time.sleep(0.2)  # polled until the window is on the bus, within the deadline
    if pane is None:
        print("no reading pane on the accessibility bus", file=sys.stderr)
        return 1

    text = pane.queryText()
    states = sorted(pyatspi.stateToString(s) for s in pane.getState().getStates())
    line, start, end = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
    print("name:", pane.name)
    print("role:", pane.getRoleName())
    print("states:", ", ".join(states))
    print("characters:", text.characterCount, "caret:", text.caretOffset)
    print("text:", repr(text.getText(0, min(60, text.characterCount))))
    print(f"first line [{start}, {end}):", repr(line))

    # Turn a chapter with the side button, as a screen reader user would,
    # and wait for the pane to be renamed after the new chapter.
    app = pane.getApplication()
    button = find_named(app, "下一页")
    if button is None:
        print("no 下一页 button", file=sys.stderr)
        return 1
    actions = button.queryAction()
    print("button:", button.name, "|", button.getRoleName(), "|", button.description, "|",
          [actions.getName(i) for i in range(actions.nActions)])
    before = pane.name
    actions.doAction(0)
    deadline = time.monotonic() + args.timeout
    while pane.name == before and time.monotonic() < deadline:
        time.sleep(0.1)  # polled until the name changes, within the deadline
    text = pane.queryText()
    line, start, end = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
    print("after 下一页: name:", pane.name, "characters:", text.characterCount)
    print(f"first line [{start}, {end}):", repr(line))
    return 0 if pane.name != before else 1


if __name__ == "__main__":
    sys.exit(main())
