#!/usr/bin/python3
"""The main window as a screen reader finds it and drives it through the
AT-SPI bridge: the task list with its four column titles, and the Add,
Delete and Convert buttons by their accessible names; then Add files
through the file dialog (its file name field and Open button, by name) and
Convert, to a finished MP4 that ffprobe reads.

Run as: xvfb-run -a dbus-run-session -- accessibility_test.py PROGRAM_FOLDER
Without a display, a session bus or the accessibility bus it skips (exit 77),
unless KINOLUX_REQUIRE_CORPUS=1 asks for every test to run. Every wait is
bounded, so it never hangs."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
XK_DOWN = 0xFF54
XK_RETURN = 0xFF0D


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


def wait_for(find, seconds):
    """What find() gives once it gives something, or None after `seconds`."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # the tree changed while it was read
            found = None
        if found:
            return found
        time.sleep(0.2)
    return None


def named(pyatspi, root, role, name):
    found = []
    find_all(root, lambda n: n.getRole() == role and n.name == name, found)
    return found[0] if found else None


def press(node):
    """The node's first action. A menu item's action runs at once and may
    open a modal dialog before the bridge answers: a call that gets no
    answer in time is not a failure, what it opened is looked for next."""
    try:
        node.queryAction().doAction(0)
    except Exception as error:
        print("no answer to the action yet:", error)


def write_settings(config, output_folder):
    """The settings of a user who has started Kinolux before and keeps the
    format chooser for later: no first-start page, no chooser on adding."""
    folder = os.path.join(config, "Qorvane")
    os.makedirs(folder)
    with open(os.path.join(folder, "settings.reg"), "w") as settings:
        settings.write("; Kinolux settings: typed values, one key per section.\n\n"
                       "[HKLM\\Software\\Qorvane\\Kinolux]\n"
                       '"firstuse"=dword:00000001\n'
                       '"autoshowformatdialog"=dword:00000001\n'
                       '"ConvertDir"="%s/"\n' % output_folder)


def add_and_convert(pyatspi, app, movie, output_folder):
    """Add files, the file dialog, Convert: the path of the finished MP4."""
    # The Add menu is a popup, which the bridge leaves out of the tree: it is
    # worked from the keyboard, as a screen-reader user does, its first item
    # being Add file(s).
    press(named(pyatspi, app, pyatspi.ROLE_PUSH_BUTTON, "Add"))
    time.sleep(1)
    for key in (XK_DOWN, XK_RETURN):
        pyatspi.Registry.generateKeyboardEvent(key, None, pyatspi.KEY_SYM)
        time.sleep(0.3)

    def file_dialog():
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is not None and window.name == "Add files...":
                return window
        return None
    dialog = wait_for(file_dialog, 30)
    assert dialog is not None, "no file dialog named Add files..."

    def file_name_field():
        fields = []
        find_all(dialog, lambda n: n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)
                 and n.name.startswith("File name"), fields)
        return fields[0] if fields else None
    field = wait_for(file_name_field, 10)
    assert field is not None, "the file dialog shows no File name field"
    field.queryEditableText().setTextContents(movie)
    press(wait_for(lambda: named(pyatspi, dialog, pyatspi.ROLE_PUSH_BUTTON, "Open"), 10))

    def movie_listed():
        cells = []
        find_all(app, lambda n: n.name == os.path.basename(movie), cells)
        return cells
    assert wait_for(movie_listed, 30), "the movie did not reach the task list"
    press(named(pyatspi, app, pyatspi.ROLE_PUSH_BUTTON, "Convert"))
    output = os.path.join(output_folder, os.path.splitext(os.path.basename(movie))[0] + ".mp4")
    # The output appears under its own name only once it is complete.
    assert wait_for(lambda: os.path.exists(output), 240), "no " + output
    return output


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
    for tool in ("ffprobe",):
        if shutil.which(tool) is None:
            skip(tool + " is not installed")
    home = tempfile.mkdtemp(prefix="kinolux-a11y-")
    output_folder = os.path.join(home, "out")
    os.makedirs(output_folder)
    write_settings(home, output_folder)
    movie = os.path.join(home, "a11y-sample.swf")
    shutil.copyfile(os.path.join(sys.argv[1], "samples", "kinolux-sample.swf"), movie)
    env = dict(os.environ, XDG_CONFIG_HOME=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               KINOLUX_AUDIO="null")
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("QT_QPA_PLATFORMTHEME", None)
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
        output = add_and_convert(pyatspi, window, movie, output_folder)
        probe = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "stream=codec_type",
                                "-of", "default=noprint_wrappers=1:nokey=1", output],
                               capture_output=True, text=True, timeout=60)
        assert probe.stdout.split() == ["video", "audio"], probe.stdout + probe.stderr
        print("added the movie through the file dialog and converted it to", output)
        return 0
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
