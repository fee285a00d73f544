"""The window chrome on the real snipquill.exe: the note's commands in the system menu (Alt+Space),
the notification-area icon (F3, the icon's double-click and menu, the /M start). Debian's trayer
is the notification area: Wine docks the icon into it as a small window of explorer.exe."""

import re
import subprocess
import time

import e2e


def start_tray():
    proc = subprocess.Popen(["trayer", "--edge", "bottom", "--align", "left", "--widthtype",
                             "request", "--heighttype", "pixel", "--height", "24", "--expand",
                             "false"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    e2e.wait_for(lambda: subprocess.run(["xdotool", "search", "--name", "^panel$"],
                                        capture_output=True).returncode == 0,
                 what="the notification area")
    time.sleep(0.5)
    return proc


def tray_icons():
    """Centres of the icons docked in the notification area: explorer.exe windows nested in
    trayer's panel."""
    tree = e2e.run("xwininfo", "-root", "-tree")
    icons, in_panel, panel_indent = [], False, 0
    for line in tree.splitlines():
        indent = len(line) - len(line.lstrip())
        if '"panel": ("panel" "trayer")' in line:
            in_panel, panel_indent = True, indent
            continue
        if in_panel and indent <= panel_indent and line.strip():
            in_panel = False
        m = re.search(r'\("explorer\.exe" "explorer\.exe"\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+'
                      r'\+(-?\d+)\+(-?\d+)', line)
        if in_panel and m:
            w, h, x, y = map(int, m.groups())
            if w > 4 and h > 4:
                icons.append((x + w // 2, y + h // 2))
    return icons


def shown(note):
    return note.wid in e2e.windows_named("Snipquill")


def double_click(x, y):
    e2e.run("xdotool", "mousemove", "--sync", str(x), str(y))
    e2e.run("xdotool", "click", "--repeat", "2", "--delay", "80", "1")


def main():
    args = e2e.arguments()
    checks = e2e.Checks()
    tray = start_tray()
    try:
        with e2e.Note(args.exe) as note:
            # Alt+Space: the system menu, the window's own entries first (Restore, Move, Size,
            # Minimize, Maximize, Close), then a separator and the note's Save.
            e2e.press_key(note.wid, "alt+space")
            time.sleep(0.8)
            for _ in range(7):
                e2e.run("xdotool", "key", "Down")
                time.sleep(0.05)
            e2e.run("xdotool", "key", "Return")
            try:
                dialog = e2e.wait_for(lambda: next(iter(e2e.windows_named("Save As")), None),
                                      timeout=10, what="the save dialog")
                checks.expect(dialog in e2e.windows_named("Save As"),
                              "Save in the system menu opens the save dialog")
                e2e.press_key(dialog, "Escape")
                e2e.wait_for(lambda: not e2e.windows_named("Save As"), timeout=10,
                             what="the save dialog to close")
            except AssertionError:
                checks.expect(False, "Save chosen in the system menu opened no save dialog")
            checks.expect(shown(note), "the note is still shown after the save dialog")

            # F3: off to the tray; the icon's double-click brings the note back.
            e2e.press_key(note.wid, "F3")
            icons = e2e.wait_for(tray_icons, timeout=10, what="the tray icon")
            checks.expect(not shown(note), "F3 hides the note")
            checks.expect(len(icons) == 1, f"one icon in the tray, not {len(icons)}")
            double_click(*icons[0])
            try:
                e2e.wait_for(lambda: shown(note), timeout=10, what="the note back")
            except AssertionError:
                pass
            checks.expect(shown(note), "a double-click on the icon restores the note")
            checks.expect(not tray_icons(), "the icon goes when the note is back")

            # Again, and back through the icon's menu: right button, then Open.
            e2e.press_key(note.wid, "F3")
            icons = e2e.wait_for(tray_icons, timeout=10, what="the tray icon")
            x, y = icons[0]
            e2e.run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "3")
            time.sleep(0.8)
            e2e.run("xdotool", "key", "Down")
            e2e.run("xdotool", "key", "Return")
            try:
                e2e.wait_for(lambda: shown(note), timeout=10, what="the note back")
            except AssertionError:
                pass
            checks.expect(shown(note), "Open in the icon's menu restores the note")
            checks.expect(not tray_icons(), "the icon goes with Open")

        # /M: the note shows, then goes to the tray on its own.
        proc = subprocess.Popen([*e2e.WINE_RUN, args.exe, "/M"], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            icons = e2e.wait_for(tray_icons, timeout=20, what="the /M start's tray icon")
            checks.expect(not e2e.windows_named("Snipquill"), "/M leaves no note on screen")
            double_click(*icons[0])
            try:
                e2e.wait_for(lambda: e2e.windows_named("Snipquill"), timeout=10,
                             what="the /M note back")
            except AssertionError:
                pass
            checks.expect(bool(e2e.windows_named("Snipquill")), "the /M note comes back")

            # Close in the icon's menu ends the program, and the icon goes with it.
            e2e.press_key(e2e.windows_named("Snipquill")[0], "F3")
            x, y = e2e.wait_for(tray_icons, timeout=10, what="the tray icon")[0]
            e2e.run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "3")
            time.sleep(0.8)
            for _ in range(3):
                e2e.run("xdotool", "key", "Down")
            e2e.run("xdotool", "key", "Return")
            try:
                proc.wait(15)
            except subprocess.TimeoutExpired:
                pass
            checks.expect(proc.poll() == 0, "Close in the icon's menu ends the program")
            checks.expect(not tray_icons(), "no icon is left behind")
        except AssertionError as e:
            checks.expect(False, str(e))
        finally:
            if proc.poll() is None:
                proc.terminate()
                proc.wait(10)
    finally:
        tray.terminate()
        tray.wait(10)
    checks.finish()


if __name__ == "__main__":
    main()
