"""Helpers for end-to-end tests: start snipquill.exe under Wine on the test bed's display and
drive it from outside with X tools (xdotool, xwininfo, ImageMagick)."""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

CONVERT = "/usr/bin/convert"
COMPARE = "/usr/bin/compare"
IMPORT = "/usr/bin/import"
DISPLAY_TOOL = "/usr/bin/display"

# Our frame: 4 pixels left, top and right, a 20-pixel caption, 8 at the bottom.
FRAME_LEFT, FRAME_TOP, FRAME_RIGHT, FRAME_BOTTOM = 4, 24, 4, 8


# How a Windows program of the build under test is started: through the test bed's wrapper, in
# that build's Wine prefix.
WINE_RUN = [os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                         "wine-run"), "x86"]


def arguments():
    p = argparse.ArgumentParser()
    p.add_argument("--exe", required=True)
    p.add_argument("--bin", required=True)
    p.add_argument("--arch", choices=["x86", "x64"], default="x86")
    args = p.parse_args()
    WINE_RUN[1] = args.arch
    return args


def run(*cmd, check=True):
    return subprocess.run(cmd, check=check, capture_output=True, text=True).stdout


def wait_for(predicate, timeout=20.0, what="condition"):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError(f"timed out waiting for {what}")


def windows_named(title):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                         capture_output=True, text=True).stdout
    return [int(w) for w in out.split()]


def geometry(wid):
    out = run("xwininfo", "-id", str(wid))
    get = lambda key: int(re.search(rf"{key}:\s+(-?\d+)", out).group(1))
    return get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"), get("Height")


def client_rect(wid):
    x, y, w, h = geometry(wid)
    return x + FRAME_LEFT, y + FRAME_TOP, w - FRAME_LEFT - FRAME_RIGHT, h - FRAME_TOP - FRAME_BOTTOM


def press_key(wid, key):
    subprocess.run(["xdotool", "windowfocus", "--sync", str(wid)], capture_output=True, timeout=10)
    run("xdotool", "key", "--clearmodifiers", key)


def click(x, y):
    run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "1")


def drag(x0, y0, x1, y1):
    run("xdotool", "mousemove", str(x0), str(y0))
    time.sleep(0.1)
    run("xdotool", "mousedown", "1")
    for i in range(1, 5):
        # No --sync: it waits for a motion report, which never comes when the pointer is
        # already there or held by the sizing loop.
        run("xdotool", "mousemove", str(x0 + (x1 - x0) * i // 4), str(y0 + (y1 - y0) * i // 4))
        time.sleep(0.05)
    run("xdotool", "mouseup", "1")
    time.sleep(0.3)


def screenshot(path):
    run(IMPORT, "-window", "root", path)


def crop(src, rect, dst):
    x, y, w, h = rect
    run(CONVERT, src, "-crop", f"{w}x{h}+{x}+{y}", "+repage", dst)


def differing_pixels(a, b):
    """Number of pixels that differ between two images of the same size."""
    r = subprocess.run([COMPARE, "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    return int(float(r.stderr.split()[0]))


class Note:
    """One snipquill.exe process; closed (or killed) on exit."""

    def __init__(self, exe, *args):
        before = set(windows_named("Snipquill"))
        self.proc = subprocess.Popen([*WINE_RUN, exe, *args], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        self.wid = wait_for(lambda: next(iter(set(windows_named("Snipquill")) - before), None),
                            what="the note window")
        time.sleep(0.3)

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class Picture:
    """An image shown on the display by ImageMagick's viewer, at a screen position."""

    def __init__(self, path, x=0, y=0):
        self.proc = subprocess.Popen([DISPLAY_TOOL, "-geometry", f"+{x}+{y}", "-immutable", path],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        name = os.path.basename(path)
        wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                                        capture_output=True).returncode == 0,
                 what="the picture window")
        time.sleep(0.3)

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def pattern_image(path, width, height):
    """A picture in which neighbouring pixels differ: gradients crossed with noise."""
    run(CONVERT, "-size", f"{width}x{height}", "-seed", "7", "plasma:red-blue",
        "-depth", "8", f"PNG24:{path}")


class Checks:
    def __init__(self):
        self.failed = 0
        self.passed = 0

    def expect(self, cond, message):
        if cond:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAILED: {message}", flush=True)

    def finish(self):
        print(f"{self.passed} passed, {self.failed} failed")
        sys.exit(1 if self.failed else 0)


def workdir():
    return tempfile.mkdtemp(prefix="snipquill-e2e-")
