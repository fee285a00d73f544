"""The palette on the real snipquill.exe: F9 shows "Annotate", a typed text and Enter draw it on
the note, Add Box and a drag of its edge move the box leaving the captured picture elsewhere."""

import os
import time

import e2e
import test_output  # its typing helper


def palette_client_origin(wid):
    # The palette's frame: equal borders left, right and bottom, the caption on top.
    x, y, w, h = e2e.geometry(wid)
    border = (w - 299) // 2
    return x + border, y + h - 300 - border


def region(rect, left, top, width, height):
    return rect[0] + left, rect[1] + top, width, height


def main():
    args = e2e.arguments()
    checks = e2e.Checks()
    tmp = e2e.workdir()
    pattern = os.path.join(tmp, "pattern.png")
    e2e.pattern_image(pattern, 640, 480)
    shot = os.path.join(tmp, "shot.png")

    def piece(name, r):
        path = os.path.join(tmp, name)
        e2e.crop(shot, r, path)
        return path

    with e2e.Picture(pattern, 0, 0), e2e.Note(args.exe, "/p150,100,320,240") as note:
        rect = e2e.client_rect(note.wid)
        below_text = (0, 40, rect[2], rect[3] - 40)
        old_edge = (24, 40, 3, 60)
        e2e.screenshot(shot)
        clean_below = piece("clean_below.png", region(rect, *below_text))
        clean_text = piece("clean_text.png", region(rect, 0, 0, 80, 40))
        clean_edge = piece("clean_edge.png", region(rect, *old_edge))

        e2e.press_key(note.wid, "F9")
        palette = e2e.wait_for(lambda: next(iter(e2e.windows_named("Annotate")), None),
                               what="the Annotate palette")
        checks.expect(palette in e2e.windows_named("Annotate"), "F9 shows the Annotate palette")
        time.sleep(0.5)
        test_output.type_text("Hello")
        e2e.run("xdotool", "key", "Return")
        time.sleep(0.8)
        e2e.screenshot(shot)
        diff = e2e.differing_pixels(clean_text, piece("text.png", region(rect, 0, 0, 80, 40)))
        checks.expect(diff > 20, f"Enter drew the text at the top left ({diff} pixels changed)")
        diff = e2e.differing_pixels(clean_below, piece("below.png", region(rect, *below_text)))
        checks.expect(diff == 0, f"the text changed {diff} pixels below itself")

        # Add Box: a box of (25,25)-(100,100); its left edge dragged 40 right and 30 down.
        px, py = palette_client_origin(palette)
        e2e.click(px + 8 + 196 + 36, py + 128 + 16 + 12)
        time.sleep(0.5)
        e2e.drag(rect[0] + 25, rect[1] + 60, rect[0] + 65, rect[1] + 90)
        time.sleep(0.5)
        e2e.screenshot(shot)
        edge = e2e.differing_pixels(clean_edge, piece("edge.png", region(rect, *old_edge)))
        checks.expect(edge == 0, f"the box's old left edge still shows {edge} changed pixels")
        diff = e2e.differing_pixels(clean_below, piece("below.png", region(rect, *below_text)))
        checks.expect(100 < diff < 1500,
                      f"below the text only the moved box differs: {diff} pixels")

    checks.finish()


if __name__ == "__main__":
    main()
