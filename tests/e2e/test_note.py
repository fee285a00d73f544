"""The real snipquill.exe driven from outside: placement from the command line, a capture over a
known picture, Clone, and the caption's close button."""

import os
import time

import e2e


def main():
    args = e2e.arguments()
    checks = e2e.Checks()
    tmp = e2e.workdir()

    # Placement: /p100,50,300,200 sets the outer geometry as X sees it.
    with e2e.Note(args.exe, "/p100,50,300,200") as note:
        checks.expect(e2e.geometry(note.wid) == (100, 50, 300, 200),
                      f"geometry {e2e.geometry(note.wid)} after /p100,50,300,200")
        # Dragging the right border sizes a live note; a captured one springs back.
        e2e.drag(100 + 300 - 2, 150, 100 + 360 - 2, 150)
        checks.expect(e2e.geometry(note.wid)[2] == 360,
                      f"width {e2e.geometry(note.wid)[2]} after dragging the border to 360")
        e2e.press_key(note.wid, "F9")
        e2e.drag(100 + 360 - 2, 150, 100 + 420 - 2, 150)
        checks.expect(e2e.geometry(note.wid)[2] == 360,
                      f"a captured note springs back, width {e2e.geometry(note.wid)[2]}")

    # Capture: F9 over a known picture freezes exactly what was beneath the client area; the
    # note keeps showing it after the picture underneath is gone.
    pattern = os.path.join(tmp, "pattern.png")
    e2e.pattern_image(pattern, 640, 480)
    with e2e.Picture(pattern, 0, 0) as picture, e2e.Note(args.exe, "/p150,100,320,240") as note:
        rect = e2e.client_rect(note.wid)
        shot = os.path.join(tmp, "before.png")
        e2e.screenshot(shot)
        e2e.crop(shot, rect, os.path.join(tmp, "expected.png"))
        e2e.press_key(note.wid, "F9")
        time.sleep(0.5)
        picture.close()
        time.sleep(0.5)
        e2e.screenshot(shot)
        e2e.crop(shot, rect, os.path.join(tmp, "shown.png"))
        diff = e2e.differing_pixels(os.path.join(tmp, "expected.png"), os.path.join(tmp, "shown.png"))
        checks.expect(diff == 0, f"the frozen note differs from the picture beneath in {diff} pixels")

        # Clone (F10) opens a second note, which shows itself although it is started hidden.
        before = set(e2e.windows_named("Snipquill"))
        e2e.press_key(note.wid, "F10")
        try:
            clone = e2e.wait_for(lambda: next(iter(set(e2e.windows_named("Snipquill")) - before), None),
                                 what="the cloned note")
            checks.expect(e2e.geometry(clone)[2:] == (200, 200), "the clone is a 200 x 200 note")
            # Its caption's close button ends it.
            x, y, w, _ = e2e.geometry(clone)
            e2e.click(x + w - 4 - 2 - 8, y + 4 + 2 + 8)
            e2e.wait_for(lambda: clone not in e2e.windows_named("Snipquill"), timeout=10,
                         what="the clone to close")
            checks.expect(note.wid in e2e.windows_named("Snipquill"),
                          "closing the clone leaves the first note open")
        except AssertionError as e:
            checks.expect(False, str(e))

    checks.finish()


if __name__ == "__main__":
    main()
