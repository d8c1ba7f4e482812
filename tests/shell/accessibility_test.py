#!/usr/bin/python3
"""The main window as a screen reader finds it through the AT-SPI bridge: the
task list with its four column titles, and the Add, Delete and Convert
buttons by their accessible names.

Run as: xvfb-run -a dbus-run-session -- accessibility_test.py PROGRAM_FOLDER
Without a display, a session bus or the accessibility bus it skips (exit 77),
unless KINOLUX_REQUIRE_CORPUS=1 asks for every test to run. Every wait is
bounded, so it never hangs."""
import os
import subprocess
import sys
import tempfile
import time

SKIP = 77


def skip(reason):
    print("skipped:", reason)
    sys.exit(1 if os.environ.get("KINOLUX_REQUIRE_CORPUS") == "1" else SKIP)


def find_all(node, match, found, depth=0):
    if node is None or depth > 40:
        return
    try:
        if match(node):
            found.append(node)
        for i in range(node.childCount):
            find_all(node.getChildAtIndex(i), match, found, depth + 1)
    except Exception:  # a node that went away while it was walked
        pass


def main():
    if len(sys.argv) != 2:
        print("usage: accessibility_test.py PROGRAM_FOLDER")
        return 2
    if not os.environ.get("DISPLAY") or not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        skip("no display or no session bus")
    try:
        import pyatspi
    except ImportError:
        skip("python3-pyatspi is not installed")
    home = tempfile.mkdtemp(prefix="kinolux-a11y-")
    env = dict(os.environ, XDG_CONFIG_HOME=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    env.pop("QT_QPA_PLATFORM", None)
    program = subprocess.Popen([os.path.join(sys.argv[1], "kinolux")], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = None
        deadline = time.monotonic() + 30
        while window is None and time.monotonic() < deadline:
            time.sleep(0.5)
            try:
                desktop = pyatspi.Registry.getDesktop(0)
                for i in range(desktop.childCount):
                    app = desktop.getChildAtIndex(i)
                    if app is not None and app.name == "kinolux" and app.childCount > 0:
                        window = app
            except Exception:
                pass
        if window is None:
            skip("the program did not appear on the accessibility bus")
        tables = []
        find_all(window, lambda n: n.getRole() == pyatspi.ROLE_TABLE, tables)
        assert tables, "no table"
        table = tables[0].queryTable()
        titles = [table.getColumnDescription(c) for c in range(table.nColumns)]
        if not any(titles):
            titles = [table.getColumnHeader(c).name for c in range(table.nColumns)]
        assert titles == ["File Name", "In", "Out", "Path Name"], titles
        for name in ("Add", "Delete", "Convert"):
            buttons = []
            find_all(window, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == name, buttons)
            assert buttons, "no button named " + name
        print("found the list's four column titles and the Add, Delete and Convert buttons")
        return 0
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()


if __name__ == "__main__":
    sys.exit(main())
