"""Magnifier (F11) on the real snipquill.exe: with the left button held over the captured
picture the screen shows a 180 x 180 lens with the 60 x 60 pixels round the pointer three times
enlarged; after the release the note shows the captured picture again."""

import os
import shutil
import time

import e2e


def main():
    args = e2e.arguments()
    checks = e2e.Checks()
    tmp = e2e.workdir()
    pattern = os.path.join(tmp, "pattern.png")
    e2e.pattern_image(pattern, 800, 600)
    with e2e.Picture(pattern, 0, 0), e2e.Note(args.exe, "/p120,90,420,320") as note:
        e2e.press_key(note.wid, "F6")  # To Clipboard captures the live note
        time.sleep(0.5)
        rect = e2e.client_rect(note.wid)
        x, y, w, h = rect
        shot = os.path.join(tmp, "shot.png")
        captured = os.path.join(tmp, "captured.png")
        e2e.screenshot(shot)
        e2e.crop(shot, rect, captured)

        e2e.press_key(note.wid, "F11")
        time.sleep(0.3)
        px, py = x + w // 2, y + h // 2
        e2e.run("xdotool", "mousemove", "--sync", str(px), str(py))
        time.sleep(0.2)
        e2e.run("xdotool", "mousedown", "1")
        time.sleep(0.5)
        held = os.path.join(tmp, "held.png")
        e2e.screenshot(held)
        e2e.run("xdotool", "mouseup", "1")
        time.sleep(0.5)

        lens = os.path.join(tmp, "lens.png")
        e2e.crop(held, (px - 90, py - 90, 180, 180), lens)
        source = os.path.join(tmp, "source.png")
        e2e.crop(shot, (px - 30, py - 30, 60, 60), source)
        expected = os.path.join(tmp, "expected.png")
        e2e.run(e2e.CONVERT, source, "-sample", "300%", expected)
        diff = e2e.differing_pixels(lens, expected)
        checks.expect(diff == 0, f"the lens differs from the enlarged source in {diff} pixels")
        outside = os.path.join(tmp, "outside.png")
        e2e.crop(held, (x, y, w, py - 90 - y), outside)
        above = os.path.join(tmp, "above.png")
        e2e.crop(shot, (x, y, w, py - 90 - y), above)
        diff = e2e.differing_pixels(outside, above)
        checks.expect(diff == 0, f"the picture above the lens changed in {diff} pixels")

        after = os.path.join(tmp, "after.png")
        e2e.screenshot(after)
        after_client = os.path.join(tmp, "after_client.png")
        e2e.crop(after, rect, after_client)
        diff = e2e.differing_pixels(after_client, captured)
        checks.expect(diff == 0, f"after the release the note differs in {diff} pixels")
    shutil.rmtree(tmp, ignore_errors=True)
    checks.finish()


if __name__ == "__main__":
    main()
