"""Email (F5) on the real snipquill.exe: the compose dialog is answered from outside (an address
typed, then Return), and a recording mail library of the tests' own, installed in the build's
Wine prefix as the system's MAPI32.DLL, sees one message with the note's picture attached as a
PNG."""

import os
import shutil
import time

import e2e

IDENTIFY = "/usr/bin/identify"


def dos_path(unix_path):
    return "Z:" + unix_path.replace("/", "\\")


def prefix_system_folder(arch):
    build = os.environ.get("BUILD", "build")
    if not os.path.isabs(build):
        build = os.path.join(os.environ.get("SNIPQUILL_ROOT", "."), build)
    # Both prefixes are of the build's own kind, so the system folder holds its libraries.
    return os.path.join(build, f"wine-{arch}", "drive_c", "windows", "system32")


def unix_path(dos, arch):
    """Where a Windows path of the build's prefix is on this side."""
    drive, rest = dos[0].lower(), dos[3:].replace("\\", "/")
    if drive == "z":
        return "/" + rest
    return os.path.join(os.path.dirname(prefix_system_folder(arch)), "..", "..",
                        f"drive_{drive}", rest)


def read_calls(path):
    if not os.path.exists(path):
        return []
    calls = []
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            key, _, value = line.partition("|")
            if key == "call":
                calls.append({"entry": value, "recip": [], "file": []})
            elif calls and key in ("recip", "file"):
                calls[-1][key].append(value.split("|"))
            elif calls:
                calls[-1][key] = value
    return calls


def main():
    args = e2e.arguments()
    checks = e2e.Checks()
    tmp = e2e.workdir()
    recorder = os.path.join(os.path.dirname(os.path.abspath(args.bin)), "fixtures",
                            "mapi_recorder_w.dll")
    system_copy = os.path.join(prefix_system_folder(args.arch), "mapi32.dll")
    saved = system_copy + ".snipquill-e2e"
    if os.path.exists(system_copy):
        shutil.copyfile(system_copy, saved)
    shutil.copyfile(recorder, system_copy)
    record = os.path.join(tmp, "record.txt")
    os.environ["WINEDLLOVERRIDES"] = "mscoree,mshtml=;mapi32=n"
    os.environ["SNIPQUILL_MAPI_RECORD"] = dos_path(record)

    pattern = os.path.join(tmp, "pattern.png")
    e2e.pattern_image(pattern, 640, 480)
    try:
        with e2e.Picture(pattern, 0, 0), e2e.Note(args.exe, "/p150,100,320,240") as note:
            rect = e2e.client_rect(note.wid)
            e2e.press_key(note.wid, "F5")
            dialog = e2e.wait_for(lambda: next(iter(e2e.windows_named("Email Snipquill")), None),
                                  what="the e-mail dialog")
            e2e.run("xdotool", "windowfocus", "--sync", str(dialog), check=False)
            time.sleep(0.3)
            e2e.run("xdotool", "type", "--delay", "15", "ann@example.com")
            e2e.run("xdotool", "key", "Return")
            try:
                e2e.wait_for(lambda: read_calls(record), timeout=20, what="the mail")
            except AssertionError as e:
                checks.expect(False, str(e))
            calls = read_calls(record)
            checks.expect(len(calls) == 1, f"the mail library saw {len(calls)} messages")
            if calls:
                call = calls[0]
                checks.expect(call["recip"] == [["1", "ann@example.com", "SMTP:ann@example.com"]],
                              f"recipients {call['recip']}")
                checks.expect(call.get("subject") == "Snipquill", f"subject {call.get('subject')}")
                checks.expect(len(call["file"]) == 1 and call["file"][0][2] == "Snipquill.png",
                              f"attachments {call['file']}")
            # Wine takes the temporary folder from the prefix, whatever this side's TMP says.
            png = unix_path(calls[0]["file"][0][1], args.arch) if calls and calls[0]["file"] else ""
            checks.expect(png and os.path.exists(png), f"the attachment {png} exists")
            if png and os.path.exists(png):
                out = e2e.run(IDENTIFY, "-format", "%m %w %h\n", png).split()
                checks.expect(out[:3] == ["PNG", str(rect[2]), str(rect[3])],
                              f"identify says {out[:3]}, expected PNG {rect[2]}x{rect[3]}")
            checks.expect(not e2e.windows_named("Email Snipquill"), "the dialog is closed")
    finally:
        if os.path.exists(saved):
            shutil.move(saved, system_copy)
        shutil.rmtree(tmp, ignore_errors=True)
    checks.finish()


if __name__ == "__main__":
    main()
