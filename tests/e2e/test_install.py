"""The release under Wine, in the test prefix of the build under test: the portable archive, then
the setup program (silent install, the installed program's Help, an install over the first) and
its uninstaller.

The setup program we ship is 32-bit. Where this machine cannot execute 32-bit code, the same
installer script is built with the 64-bit stub and that one is tested: it makes the same
decisions (64-bit Windows here, so the 64-bit program)."""

import ntpath
import os
import shutil
import subprocess
import tempfile
import time
import zipfile

import e2e

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Snipquill"
COMPANY_KEY = r"HKLM\SOFTWARE\Orvane Software"


def build_root(exe, arch):
    """$BUILD from the program under test: $BUILD/bin/snipquill.exe or $BUILD/bin/x64/..."""
    up = 2 if arch == "x86" else 3
    path = os.path.abspath(exe)
    for _ in range(up):
        path = os.path.dirname(path)
    return path


class Prefix:
    """The Wine prefix of one build, seen from both sides."""

    def __init__(self, build, arch):
        self.arch = arch
        self.drive_c = os.path.join(build, f"wine-{arch}", "drive_c")
        self.native_view = 64 if arch == "x64" else 32
        # No host menu entries for the shortcuts the setup program makes.
        self.env = dict(os.environ, WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=")

    def host(self, windows_path):
        assert windows_path[:3].upper() == "C:\\", windows_path
        return os.path.join(self.drive_c, *windows_path[3:].split("\\"))

    def run(self, *args, timeout=120):
        return subprocess.run([*e2e.WINE_RUN, *args], capture_output=True, text=True,
                              env=self.env, timeout=timeout)

    def reg_values(self, key, view):
        """The values of a key as {name: text}; None when the key does not exist."""
        r = self.run("reg.exe", "query", key, f"/reg:{view}")
        if r.returncode != 0:
            return None
        values = {}
        for line in r.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
        return values

    def reg_delete(self, key, view):
        self.run("reg.exe", "delete", key, "/f", f"/reg:{view}")


def help_request(prefix, exe_windows_path):
    """Starts a program, presses F1 and returns the file the help viewer was asked to open (from
    the viewer's own trace), or None."""
    env = dict(prefix.env, WINEDEBUG="-all,trace+htmlhelp")
    log = tempfile.TemporaryFile(mode="w+")
    before = set(e2e.windows_named("Snipquill"))
    proc = subprocess.Popen([*e2e.WINE_RUN, exe_windows_path], stdout=subprocess.DEVNULL,
                            stderr=log, env=env)
    try:
        wid = e2e.wait_for(lambda: next(iter(set(e2e.windows_named("Snipquill")) - before), None),
                           what=f"the note window of {exe_windows_path}")
        time.sleep(0.3)
        e2e.press_key(wid, "F1")

        def requested():
            log.seek(0)
            for line in log.read().splitlines():
                if "HtmlHelpW" in line and "snipquill.chm" in line:
                    return line.split('L"', 1)[1].split('"', 1)[0].replace("\\\\", "\\")
            return None
        try:
            return e2e.wait_for(requested, timeout=15, what="the help request")
        except AssertionError:
            return None
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
        log.close()


def remove_installation(prefix, program_dir, data_dir, shortcut):
    """Leaves the prefix as if nothing had ever been installed (a failed earlier run may not)."""
    for d in (program_dir, data_dir):
        shutil.rmtree(prefix.host(d), ignore_errors=True)
    for d in (ntpath.dirname(program_dir), ntpath.dirname(data_dir)):
        try:
            os.rmdir(prefix.host(d))
        except OSError:
            pass
    if os.path.exists(prefix.host(shortcut)):
        os.remove(prefix.host(shortcut))
    prefix.reg_delete(UNINSTALL_KEY, prefix.native_view)
    prefix.reg_delete(COMPANY_KEY, 32)


def same_bytes(a, b):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        return fa.read() == fb.read()


def main():
    args = e2e.arguments()
    checks = e2e.Checks()
    build = build_root(args.exe, args.arch)
    prefix = Prefix(build, args.arch)
    bins = {"x86": os.path.join(build, "bin"), "x64": os.path.join(build, "bin", "x64")}
    tmp = e2e.workdir()

    # The release, from the builds under test.
    ia32 = subprocess.run([os.path.join(ROOT, "scripts", "probe-ia32")]).returncode == 0
    amd64 = os.path.join(tmp, "setup-amd64.exe")
    dist = subprocess.run([os.path.join(ROOT, "scripts", "dist.sh"), "--out", tmp,
                           "--amd64-setup", amd64], capture_output=True, text=True,
                          env=dict(os.environ, BUILD=build))
    if dist.returncode != 0:
        print(dist.stdout + dist.stderr)
        checks.expect(False, "scripts/dist.sh failed")
        checks.finish()
    setup = next(os.path.join(tmp, f) for f in os.listdir(tmp) if f.endswith("-setup.exe"))
    portable = next(os.path.join(tmp, f) for f in os.listdir(tmp) if f.endswith("-portable.zip"))
    version = os.path.basename(setup)[len("snipquill-"):-len("-setup.exe")]
    if args.arch == "x64" and not ia32:
        print("this machine cannot execute 32-bit code: testing the setup program built with "
              "the 64-bit stub")
        setup = amd64

    # Where Windows (here: Wine) puts things for every user.
    program_dir = r"C:\Program Files\Orvane\Snipquill"
    docs = r"C:\users\Public\Documents"
    data_dir = docs + r"\Orvane\Snipquill"
    shortcut = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Snipquill.lnk"
    remove_installation(prefix, program_dir, data_dir, shortcut)

    # The setup program's own version block.
    with open(setup, "rb") as f:
        image = f.read()
    for text in ("Orvane Software", "Snipquill", version):
        checks.expect(text.encode("utf-16-le") in image, f"the setup's version block has {text}")

    # Portable: the archive holds the two programs, a help file beside each and the readme; the
    # program finds the help file in its own folder.
    with zipfile.ZipFile(portable) as z:
        names = sorted(z.namelist())
        checks.expect(names == ["readme.txt", "snipquill.chm", "snipquill.exe",
                                "x64/snipquill.chm", "x64/snipquill.exe"],
                      f"portable archive holds {names}")
        portable_dir = r"C:\snipquill-portable"
        shutil.rmtree(prefix.host(portable_dir), ignore_errors=True)
        z.extractall(prefix.host(portable_dir))
    for sub, arch in (("", "x86"), ("x64", "x64")):
        for name in ("snipquill.exe", "snipquill.chm"):
            checks.expect(same_bytes(os.path.join(prefix.host(portable_dir), sub, name),
                                     os.path.join(bins[arch], name)),
                          f"portable {sub or '.'}/{name} is the {arch} build's")
    own = portable_dir + (r"\x64" if args.arch == "x64" else "")
    asked = help_request(prefix, own + r"\snipquill.exe")
    checks.expect(asked == own + r"\snipquill.chm", f"portable Help asks for {asked}")
    shutil.rmtree(prefix.host(portable_dir), ignore_errors=True)

    # A silent install puts everything in place.
    r = prefix.run(setup, "/S")
    checks.expect(r.returncode == 0, f"silent install exit code {r.returncode}")
    exe = program_dir + r"\snipquill.exe"
    checks.expect(os.path.isfile(prefix.host(exe)) and
                  same_bytes(prefix.host(exe), os.path.join(bins[args.arch], "snipquill.exe")),
                  f"{exe} is the {args.arch} build")
    checks.expect(os.path.isfile(prefix.host(program_dir + r"\uninstall.exe")), "uninstaller")
    checks.expect(sorted(os.listdir(prefix.host(program_dir))) == ["snipquill.exe", "uninstall.exe"],
                  f"program folder holds {os.listdir(prefix.host(program_dir))}")
    chm = data_dir + r"\snipquill.chm"
    checks.expect(os.path.isfile(prefix.host(chm)) and
                  same_bytes(prefix.host(chm), os.path.join(bins["x86"], "snipquill.chm")),
                  f"help file in {data_dir}")
    checks.expect(os.path.isfile(prefix.host(shortcut)), "Start-menu shortcut")
    if os.path.isfile(prefix.host(shortcut)):
        with open(prefix.host(shortcut), "rb") as f:
            link = f.read()
        checks.expect(exe.encode("mbcs" if os.name == "nt" else "latin-1") in link or
                      exe.encode("utf-16-le") in link, "the shortcut starts the installed program")

    data_key = r"HKLM\SOFTWARE\Orvane Software\Snipquill" + "\\" + version[:3]
    data_values = prefix.reg_values(data_key, 32)
    checks.expect((data_values or {}).get("UserFilesPath") == docs,
                  f"UserFilesPath in the 32-bit view: {data_values}")
    native_view = prefix.native_view
    entry = prefix.reg_values(UNINSTALL_KEY, native_view) or {}
    expected = {"DisplayName": "Snipquill", "DisplayVersion": version,
                "Publisher": "Orvane Software", "DisplayIcon": exe + ",0",
                "UninstallString": f'"{program_dir}\\uninstall.exe"'}
    for name, value in expected.items():
        checks.expect(entry.get(name) == value, f"uninstall entry {name} = {entry.get(name)}")
    size = int(entry.get("EstimatedSize", "0x0"), 16)
    checks.expect(size * 1024 >= os.path.getsize(os.path.join(bins[args.arch], "snipquill.exe")),
                  f"uninstall entry EstimatedSize {size} KB")

    # The installed program resolves its data folder itself and asks Help for the file there
    # (there is none beside it).
    asked = help_request(prefix, exe)
    checks.expect(asked == chm, f"installed Help asks for {asked}")

    # Installing again over it replaces the files in place.
    with open(prefix.host(exe), "wb") as f:
        f.write(b"an older program")
    r = prefix.run(setup, "/S")
    checks.expect(r.returncode == 0, f"second install exit code {r.returncode}")
    checks.expect(same_bytes(prefix.host(exe), os.path.join(bins[args.arch], "snipquill.exe")),
                  "the second install replaced the program")
    checks.expect(sorted(os.listdir(prefix.host(program_dir))) == ["snipquill.exe", "uninstall.exe"],
                  "one installation after the second install")

    # A silent uninstall removes what was installed and nothing of the user's. The uninstaller
    # runs a copy of itself from the temporary folder, so wait for its work.
    mine = prefix.host(data_dir + r"\my picture.png")
    with open(mine, "wb") as f:
        f.write(b"the user's own picture")
    r = prefix.run(program_dir + r"\uninstall.exe", "/S")
    checks.expect(r.returncode == 0, f"silent uninstall exit code {r.returncode}")
    try:
        e2e.wait_for(lambda: not os.path.exists(prefix.host(program_dir)) and
                     prefix.reg_values(UNINSTALL_KEY, native_view) is None, timeout=60,
                     what="the uninstaller")
    except AssertionError as e:
        checks.expect(False, str(e))
    checks.expect(not os.path.exists(prefix.host(ntpath.dirname(program_dir))),
                  "the emptied Orvane program folder is gone")
    checks.expect(not os.path.exists(prefix.host(chm)), "help file removed")
    checks.expect(os.path.isfile(mine), "the user's file in the data folder is kept")
    checks.expect(not os.path.exists(prefix.host(shortcut)), "shortcut removed")
    checks.expect(prefix.reg_values(data_key, 32) is None, "UserFilesPath key removed")
    checks.expect(prefix.reg_values(COMPANY_KEY, 32) is None, "no empty company key left")

    # An installation in a folder of the user's choice is upgraded where it is; its uninstaller,
    # with nothing of the user's left, takes the data folder too.
    os.remove(mine)
    chosen = r"C:\Apps\Snipquill"
    prefix.run(setup, "/S", "/D=" + chosen)
    with open(prefix.host(chosen + r"\snipquill.exe"), "wb") as f:
        f.write(b"an older program")
    prefix.run(setup, "/S")
    checks.expect(same_bytes(prefix.host(chosen + r"\snipquill.exe"),
                             os.path.join(bins[args.arch], "snipquill.exe")) and
                  not os.path.exists(prefix.host(program_dir)),
                  f"the upgrade of an installation in {chosen} went there")
    prefix.run(chosen + r"\uninstall.exe", "/S")
    try:
        e2e.wait_for(lambda: not os.path.exists(prefix.host(ntpath.dirname(data_dir))) and
                     not os.path.exists(prefix.host(chosen)), timeout=60,
                     what="the empty data folder to go")
        checks.expect(not os.path.exists(prefix.host(ntpath.dirname(data_dir))),
                      "empty data folder removed")
    except AssertionError as e:
        checks.expect(False, str(e))
    checks.expect(os.path.isdir(prefix.host(r"C:\Apps")),
                  "the folder above the chosen one is the user's and stays")
    shutil.rmtree(prefix.host(r"C:\Apps"), ignore_errors=True)

    if checks.failed:
        remove_installation(prefix, program_dir, data_dir, shortcut)
    shutil.rmtree(tmp, ignore_errors=True)
    checks.finish()


if __name__ == "__main__":
    main()
