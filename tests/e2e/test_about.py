"""About from the caption's menu: the box comes up over the note with the red product block and
the aqua version line on black, and OK (Return) closes it."""

import os
import re
import time

import e2e


def colour_counts(path):
    """Red, aqua and black pixels of an image."""
    red = aqua = black = total = 0
    out = e2e.run(e2e.CONVERT, path, "-depth", "8", "txt:-")
    for m in re.finditer(r"\((\d+),(\d+),(\d+)", out):
        r, g, b = (int(v) for v in m.groups())
        total += 1
        if r > 180 and g < 80 and b < 80:
            red += 1
        elif r < 80 and g > 180 and b > 180:
            aqua += 1
        elif r < 20 and g < 20 and b < 20:
            black += 1
    return red, aqua, black, total


def main():
    args = e2e.arguments()
    checks = e2e.Checks()
    tmp = e2e.workdir()
    with e2e.Note(args.exe, "/p300,300,240,200") as note:
        x, y, _, _ = e2e.geometry(note.wid)
        e2e.click(x + 14, y + 14)  # the caption's menu button
        time.sleep(0.5)
        # About is the item before the last (Close).
        e2e.run("xdotool", "key", "Up", "Up", "Return")
        try:
            box = e2e.wait_for(lambda: next(iter(e2e.windows_named("About")), None),
                               what="the About box")
        except AssertionError as e:
            checks.expect(False, str(e))
            checks.finish()
        # Both blocks have slid in after a few seconds.
        time.sleep(5)
        shot = os.path.join(tmp, "screen.png")
        e2e.screenshot(shot)
        bx, by, bw, bh = e2e.geometry(box)
        checks.expect(bw >= 269 and bh >= 218, f"the box is {bw} x {bh}")
        e2e.crop(shot, (bx, by, bw, bh), os.path.join(tmp, "about.png"))
        red, aqua, black, total = colour_counts(os.path.join(tmp, "about.png"))
        checks.expect(red > 100, f"{red} red pixels of the product block")
        checks.expect(aqua > 20, f"{aqua} aqua pixels of the version line")
        checks.expect(black > total // 2, f"{black} of {total} pixels black")
        e2e.press_key(box, "Return")
        try:
            e2e.wait_for(lambda: box not in e2e.windows_named("About"), timeout=10,
                         what="the About box to close")
            checks.expect(box not in e2e.windows_named("About"), "OK closes the box")
        except AssertionError as e:
            checks.expect(False, str(e))
        checks.expect(note.wid in e2e.windows_named("Snipquill"), "the note stays")
    checks.finish()


if __name__ == "__main__":
    main()
