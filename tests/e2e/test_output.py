"""Save (F2) on the real snipquill.exe: the save dialog is filled in from outside, and
ImageMagick's identify reads each file back as the format its extension names, at the note's
client size; lossless formats hold exactly the pixels that were beneath the note."""

import os
import shutil
import subprocess
import time

import e2e

IDENTIFY = "/usr/bin/identify"


def dos_path(unix_path):
    return "Z:" + unix_path.replace("/", "\\")


def type_text(text):
    e2e.run("xdotool", "type", "--delay", "15", text)


def save_as(note, unix_path):
    """F2 on the note, then the file name typed into the save dialog and Return."""
    e2e.press_key(note.wid, "F2")
    dialog = e2e.wait_for(lambda: next(iter(e2e.windows_named("Save As")), None),
                          what="the save dialog")
    subprocess.run(["xdotool", "windowfocus", "--sync", str(dialog)], capture_output=True,
                   timeout=10)
    time.sleep(0.2)
    type_text(dos_path(unix_path))
    e2e.run("xdotool", "key", "Return")
    e2e.wait_for(lambda: not e2e.windows_named("Save As"), what="the save dialog to close")


def identify(path):
    """Format, width and height as ImageMagick reads them."""
    out = e2e.run(IDENTIFY, "-format", "%m %w %h\n", path).split("\n")[0].split()
    return out[0], int(out[1]), int(out[2])


def main():
    args = e2e.arguments()
    checks = e2e.Checks()
    tmp = e2e.workdir()

    pattern = os.path.join(tmp, "pattern.png")
    e2e.pattern_image(pattern, 640, 480)
    with e2e.Picture(pattern, 0, 0), e2e.Note(args.exe, "/p150,100,320,240") as note:
        rect = e2e.client_rect(note.wid)
        shot = os.path.join(tmp, "screen.png")
        e2e.screenshot(shot)
        expected = os.path.join(tmp, "expected.png")
        e2e.crop(shot, rect, expected)
        width, height = rect[2], rect[3]

        # The first F2 captures the live note, then the dialog opens.
        # ImageMagick calls a bitmap with the common 40-byte header BMP3.
        for name, formats, exact in [("shot.png", {"PNG"}, True),
                                     ("shot.bmp", {"BMP", "BMP3"}, True),
                                     ("shot.jpg", {"JPEG"}, False), ("shot.gif", {"GIF"}, False),
                                     ("shot.jpeg", {"JPEG"}, False)]:
            path = os.path.join(tmp, name)
            try:
                save_as(note, path)
                e2e.wait_for(lambda: os.path.exists(path), timeout=10, what=f"{name} to appear")
            except AssertionError as e:
                checks.expect(False, str(e))
                continue
            got = identify(path)
            checks.expect(got[0] in formats and got[1:] == (width, height),
                          f"{name}: identify says {got}, expected {formats} {width}x{height}")
            if exact:
                diff = e2e.differing_pixels(expected, path)
                checks.expect(diff == 0, f"{name} differs from the screen in {diff} pixels")

        # A name with none of the four extensions: a message, and no file.
        before = set(e2e.windows_named("Snipquill"))
        tif = os.path.join(tmp, "shot.tif")
        try:
            save_as(note, tif)
            message = e2e.wait_for(
                lambda: next(iter(set(e2e.windows_named("Snipquill")) - before), None),
                what="the message about the extension")
            subprocess.run(["xdotool", "windowfocus", "--sync", str(message)],
                           capture_output=True, timeout=10)
            e2e.run("xdotool", "key", "Return")
            e2e.wait_for(lambda: message not in e2e.windows_named("Snipquill"), timeout=10,
                         what="the message to close")
        except AssertionError as e:
            checks.expect(False, str(e))
        checks.expect(not os.path.exists(tif), "nothing is written for a .tif name")
        leftovers = [f for f in os.listdir(tmp) if f.endswith(".tmp")]
        checks.expect(not leftovers, f"temporary files left behind: {leftovers}")

    shutil.rmtree(tmp, ignore_errors=True)
    checks.finish()


if __name__ == "__main__":
    main()
