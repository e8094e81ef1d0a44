#!/usr/bin/env python3
"""Lumora's packages as a Windows user meets them, under Wine in one
fresh prefix made for this test (whose AppData\\Local is removed first, so
the installer must make it):

1. install: `msiexec /i Lumora-V-x64.msi /qn` (or -x86) puts the program, help and
   supplied settings into %LOCALAPPDATA%\\Programs\\Lumora, the Start menu
   shortcut "Lumora" and an installed-programs entry with icon, version and
   publisher; the installed lumora.exe starts, brings the supplied settings
   into place and saves the pictures of a page dropped on it (a real OLE
   drag from lumora-drag-source) into Pictures\\Lumora. Its drop window's
   start time is measured against the build tree's lumora.exe.
   While it runs, an upgrade and an uninstall are both refused, and
   nothing is replaced. Lumora is not started at sign-in (no Run value).
2. upgrade: with the settings file edited and made read-only, a package of
   a higher version, given STARTATSIGNIN=1, replaces the program; the file
   stays as it was, and the user's Run key starts the installed lumora.exe.
3. uninstall: `msiexec /x` removes program, help, defaults, shortcut and
   Run value; the settings file and the pictures stay.
4. the zip, unpacked into a folder with a space in its name: its lumora.exe
   saves the pictures of a dropped page into Pictures\\Lumora.

  install_test.py --wine WINE_SH --package PACKAGE_SH [--arch x86]
                  DIST_DIR BUILD_LUMORA_EXE DRAG_SOURCE_EXE

WINE_SH runs the build's programs (the x86 packages' with scripts/wine32.sh,
where 32-bit code runs); msiexec and Wine's own tools run through
scripts/wine.sh. Runs under run_with_server.py with DISPLAY set; needs
xdotool and import.
"""
import glob
import hashlib
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "app"))
import server_log  # noqa: E402
from e2e_support import (FLOAT_HEIGHT, FLOAT_LEFT, FLOAT_TOP, FLOAT_WIDTH,  # noqa: E402
                         DragSource, Failure, check, failures, require, wait_for)


args = sys.argv[1:]
if len(args) < 7 or args[0] != "--wine" or args[2] != "--package":
    sys.exit(__doc__)
wine_sh, package_sh, args = args[1], args[3], args[4:]
arch = "x64"
if args[:1] == ["--arch"]:
    arch, args = args[1], args[2:]
if len(args) != 3 or arch not in ("x64", "x86"):
    sys.exit(__doc__)
system_wine_sh = os.path.join(os.path.dirname(os.path.abspath(package_sh)), "wine.sh")
dist, build_exe, drag_source_exe = (os.path.abspath(a) for a in args)
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tag = f"/~install{os.getpid()}"
version = open(os.path.join(HERE, "..", "..", "VERSION")).read().strip()
msi_version = version if version.count(".") == 2 else version + ".0"
msi = os.path.join(dist, f"Lumora-{version}-{arch}.msi")
zip_path = os.path.join(dist, f"Lumora-{version}-{arch}.zip")

tmp = tempfile.mkdtemp(prefix="lumora-install-")
prefix = os.path.join(tmp, "prefix")
env = dict(os.environ, LUMORA_WINEPREFIX=prefix, WINEPREFIX=prefix)
logs = open(os.path.join(tmp, "wine.log"), "w")


def wine(*words, timeout=120):
    """Runs one of Wine's own programs in the test's prefix; gives its exit
    status and output."""
    r = subprocess.run([system_wine_sh, *words], env=env, stdin=subprocess.DEVNULL,
                       capture_output=True, text=True, errors="replace", timeout=timeout)
    return r.returncode, r.stdout


# msiexec's exit statuses as a Linux parent sees them (the low byte).
INSTALL_FAILURE = 1603 & 0xFF


def msiexec(*words):
    status, _ = wine("msiexec", *words, "/qn", timeout=300)
    return status


def win(path):
    return "Z:" + path.replace("/", "\\")


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


# --- the installed-programs entry ------------------------------------------

def reg_keys(root):
    """{key: {value name: data}} below root, from `reg query /s`."""
    _, out = wine("reg", "query", root, "/s")
    keys, current = {}, None
    for line in out.splitlines():
        if line.startswith("HKEY_"):
            current = keys.setdefault(line.strip(), {})
        elif current is not None and line.startswith("    "):
            parts = line.strip().split(None, 2)
            if len(parts) >= 2:
                current[parts[0]] = parts[2] if len(parts) == 3 else ""
    return keys


UNINSTALL = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"


def lumora_entries():
    """The installed-programs entries named Lumora, per user or per machine
    (Wine keeps a per-user product's entry under HKLM)."""
    found = {}
    roots = ["HKCU\\" + UNINSTALL, "HKLM\\" + UNINSTALL]
    if arch == "x86":
        roots.append("HKLM\\" + UNINSTALL.replace("Software", "Software\\Wow6432Node"))
    for root in roots:
        for key, values in reg_keys(root).items():
            if values.get("DisplayName") == "Lumora":
                found[key] = values
    return found


RUN = r"Software\Microsoft\Windows\CurrentVersion\Run"


def start_at_sign_in():
    """The data of the user's Run value "Lumora", None when there is none."""
    return reg_keys("HKCU\\" + RUN).get("HKEY_CURRENT_USER\\" + RUN, {}).get("Lumora")


def product_icon():
    """The icon file Windows Installer keeps for the product's entry."""
    for key, values in reg_keys(r"HKCU\Software\Microsoft\Installer\Products").items():
        if values.get("ProductName") == "Lumora" and values.get("ProductIcon"):
            return values["ProductIcon"]
    for values in lumora_entries().values():
        if values.get("DisplayIcon"):
            return values["DisplayIcon"]
    return None


def unix_path(windows_path):
    _, out = wine("winepath", "-u", windows_path)
    return out.strip()


# --- the screen and the pointer --------------------------------------------

def drop_window_shown():
    """The drop window's gold frame at its place on the screen."""
    w, h = FLOAT_WIDTH, FLOAT_HEIGHT
    try:
        raw = subprocess.run(["import", "-silent", "-window", "root", "-crop",
                              f"{w}x{h}+{FLOAT_LEFT}+{FLOAT_TOP}", "+repage", "-depth", "8",
                              "rgb:-"], capture_output=True, timeout=10).stdout
    except (OSError, subprocess.TimeoutExpired):
        return False
    if len(raw) != w * h * 3:
        return False

    def px(x, y):
        return raw[(y * w + x) * 3:(y * w + x) * 3 + 3]

    ring = [px(w // 2, 0), px(w // 2, h - 1), px(0, h // 2), px(w - 1, h // 2)]
    return all(min(r, g) > b + 60 for r, g, b in ring)


running = []


def start(exe):
    """lumora.exe started from its folder as the shortcut does; gives the
    process and the seconds until its drop window showed (None if never)."""
    began = time.monotonic()
    p = subprocess.Popen([wine_sh, exe], cwd=os.path.dirname(exe), env=env,
                         stdin=subprocess.DEVNULL, stdout=logs, stderr=subprocess.STDOUT)
    running.append(p)
    shown = wait_for(drop_window_shown, 60, step=0.1)
    return p, (time.monotonic() - began if shown else None)


def stop(p):
    """Ends Lumora (its process under Wine) and waits until the drop window
    has gone."""
    p.kill()
    p.wait()
    if not wait_for(lambda: not drop_window_shown(), 10):
        wine("taskkill", "/f", "/im", "lumora.exe")
        wait_for(lambda: not drop_window_shown(), 10)


def grab_page(name, pictures_dir, pictures):
    """Drags a page of pictures onto the drop window; checks they arrive."""
    page = f"{tag}/site/{name}/index.html"
    server_log.register_page(server, page, "".join(
        f'<img src="{server}{tag}/site/{name}/{p}">' for p in pictures))
    source = DragSource(wine_sh, drag_source_exe, [server + page], logs, env=env)
    source.wait_ready(60)
    try:
        require(f"{name}: the drag source opens its window", source.point is not None)
        said = source.drag_to_drop_window(xdotool_timeout=20)
        check(f"{name}: the drop window takes the link", said == "drop link", said)
        expected = {p: f"{tag}/site/{name}/{p}".encode() for p in pictures}
        wait_for(lambda: all(read(os.path.join(pictures_dir, p)) == b for p, b in expected.items()),
                 30)
        wrong = [p for p, b in expected.items() if read(os.path.join(pictures_dir, p)) != b]
        check(f"{name}: the page's pictures are saved in Pictures\\Lumora with their bytes",
              not wrong, f"missing or wrong: {wrong}; folder holds "
              f"{sorted(os.listdir(pictures_dir)) if os.path.isdir(pictures_dir) else 'nothing'}")
    finally:
        source.end()


# --- the run -----------------------------------------------------------------

started = time.monotonic()
try:
    require(f"the {arch} installer and zip are built (scripts/package.sh)",
            os.path.isfile(msi) and os.path.isfile(zip_path), f"{msi} or {zip_path} missing")
    require("the installer is newer than the build's lumora.exe",
            os.path.getmtime(msi) >= os.path.getmtime(build_exe),
            "run scripts/package.sh again")
    upgrade_dir = os.path.join(tmp, "upgrade")
    major, minor, patch = msi_version.split(".")
    upgrade_version = f"{major}.{minor}.{int(patch) + 1}"
    subprocess.run([package_sh, "--no-build", "--msi-only", "--arch", arch,
                    "--version", upgrade_version, "--out", upgrade_dir],
                   check=True, stdout=logs, stderr=logs, timeout=120)
    upgrade_msi = os.path.join(upgrade_dir, f"Lumora-{upgrade_version}-{arch}.msi")

    # A fresh prefix. Its Pictures folder is made a folder of its own (Wine
    # links it to the Linux home), and AppData\Local is taken away.
    status, _ = wine("wineboot", "--init", timeout=300)
    require("a fresh 64-bit prefix", os.path.isfile(os.path.join(prefix, "system.reg")),
            f"wineboot status {status}")
    users = glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData"))
    require("the prefix has a user profile", len(users) == 1, users)
    profile = os.path.dirname(users[0])
    pictures_link = os.path.join(profile, "Pictures")
    if os.path.islink(pictures_link):
        os.remove(pictures_link)
    os.makedirs(pictures_link, exist_ok=True)
    shutil.rmtree(os.path.join(profile, "AppData", "Local"))
    pictures_dir = os.path.join(pictures_link, "Lumora")
    program = os.path.join(profile, "AppData", "Local", "Programs", "Lumora")
    shortcut = os.path.join(profile, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu",
                            "Programs", "Lumora.lnk")
    exe = os.path.join(program, "lumora.exe")

    with zipfile.ZipFile(zip_path) as z:
        supplied = {n[len("Lumora/task/"):]: z.read(n) for n in z.namelist()
                    if n.startswith("Lumora/task/") and not n.endswith("/")}

    # 1. Install.
    check("install: msiexec /i ends with success", msiexec("/i", win(msi)) == 0)
    missing = [f for f in ("lumora.exe", "help.chm", "README.txt", "LICENSE.txt")
               if not os.path.isfile(os.path.join(program, f))]
    require("install: the program is in %LOCALAPPDATA%\\Programs\\Lumora (made anew)",
            not missing, f"missing {missing}")
    check("install: every supplied settings file is among the defaults",
          all(read(os.path.join(program, "defaults", "task", n)) == b for n, b in supplied.items())
          and supplied, sorted(supplied))
    check("install: the user's settings folder is not the installer's",
          not os.path.exists(os.path.join(program, "task")))
    check("install: the Start menu shortcut \"Lumora\"", os.path.isfile(shortcut), shortcut)
    entries = lumora_entries()
    values = next(iter(entries.values()), {})
    check("install: one installed-programs entry", len(entries) == 1, list(entries))
    check("install: ... with version and publisher",
          values.get("DisplayVersion") == msi_version and values.get("Publisher") == "Lumora",
          values)
    icon = product_icon()
    icon_file = unix_path(icon) if icon else ""
    check("install: ... and an icon", bool(icon) and (read(icon_file) or b"")[:4] == b"\0\0\1\0",
          icon)

    run_value = start_at_sign_in()
    check("install: Lumora does not start at sign-in unless asked", run_value is None, run_value)

    # The installed program: supplied settings in place, a page's pictures.
    lumora, installed_seconds = start(exe)
    require("run: the installed lumora.exe shows its drop window", installed_seconds is not None)
    for name, data in supplied.items():
        check(f"run: task\\{name} is copied from the defaults",
              read(os.path.join(program, "task", name)) == data)
    grab_page("installed", pictures_dir, ["one.jpg", "two.gif"])

    # Bad input: the installer over a running Lumora, and its removal.
    before = digest(exe)
    check("running: an upgrade is refused while Lumora runs",
          msiexec("/i", win(upgrade_msi)) == INSTALL_FAILURE)
    check("running: ... and nothing of the program is replaced",
          digest(exe) == before and lumora_entries() == entries
          and sorted(os.listdir(program)) == ["LICENSE.txt", "README.txt", "defaults",
                                              "help.chm", "lumora.exe", "task"],
          sorted(os.listdir(program)))
    check("running: an uninstall is refused while Lumora runs",
          msiexec("/x", win(msi)) == INSTALL_FAILURE and os.path.isfile(exe)
          and os.path.isfile(shortcut) and lumora_entries() == entries)
    stop(lumora)

    # How soon the drop window shows, installed and from the build tree,
    # each started once more now that the prefix is warm.
    times = {}
    for name, path in (("installed", exe), ("build tree", build_exe)):
        p, times[name] = start(path)
        stop(p)
    print(f"      drop window shown after {times['installed'] or 0:.2f} s (installed; "
          f"{installed_seconds:.2f} s at its first start) and {times['build tree'] or 0:.2f} s "
          "(build tree)", flush=True)

    # 2. Upgrade, over settings the user edited and made read-only.
    settings = os.path.join(program, "task", "shuxing.txt")
    mine = b".GIF\r\n7\r\nc:\\mine\\\r\nkept\r\n"
    with open(settings, "wb") as f:
        f.write(mine)
    os.chmod(settings, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
    check("upgrade: msiexec /i of a higher version, STARTATSIGNIN=1, ends with success",
          msiexec("/i", win(upgrade_msi), "STARTATSIGNIN=1") == 0)
    entries = lumora_entries()
    check("upgrade: one entry, of the new version",
          [v.get("DisplayVersion") for v in entries.values()] == [upgrade_version], entries)
    check("upgrade: the program is in place", os.path.isfile(exe) and os.path.isfile(shortcut))
    check("upgrade: the user's settings are as they were, still read-only",
          read(settings) == mine and not os.stat(settings).st_mode & stat.S_IWUSR)
    run_value = start_at_sign_in()
    installed = "C:\\" + os.path.relpath(exe, os.path.join(prefix, "drive_c")).replace("/", "\\")
    check("upgrade: STARTATSIGNIN=1 starts the installed lumora.exe at sign-in (Run key)",
          run_value == f'"{installed}"', run_value)

    # 3. Uninstall.
    check("uninstall: msiexec /x ends with success", msiexec("/x", win(upgrade_msi)) == 0)
    left = sorted(os.listdir(program)) if os.path.isdir(program) else []
    check("uninstall: program, help and defaults are gone; the settings stay",
          left == ["task"], left)
    check("uninstall: the shortcut is gone", not os.path.exists(shortcut))
    check("uninstall: the installed-programs entry is gone", not lumora_entries())
    run_value = start_at_sign_in()
    check("uninstall: the Run value is gone", run_value is None, run_value)
    check("uninstall: the settings file is the user's still", read(settings) == mine)
    check("uninstall: the pictures stay",
          all(os.path.isfile(os.path.join(pictures_dir, p)) for p in ("one.jpg", "two.gif")))

    # 4. The zip, in a folder with a space in its name.
    unpacked = os.path.join(tmp, "My Programs")
    with zipfile.ZipFile(zip_path) as z:
        z.extractall(unpacked)
    zipped, zip_seconds = start(os.path.join(unpacked, "Lumora", "lumora.exe"))
    require("zip: its lumora.exe shows its drop window", zip_seconds is not None)
    grab_page("zip", pictures_dir, ["three.bmp"])
    stop(zipped)
except Failure as e:
    if str(e) not in failures:
        check("the test could go on", False, str(e))
except (subprocess.SubprocessError, OSError) as e:
    check("the test could go on", False, f"a tool failed: {e}")
finally:
    for p in running:
        if p.poll() is None:
            p.kill()
            p.wait()
    server_bin = subprocess.run(["bash", "-c", "source \"$1\"; echo \"$WINESERVER\"", "-",
                                 os.path.join(os.path.dirname(system_wine_sh), "env.sh")],
                                capture_output=True, text=True).stdout.strip() or "wineserver"
    subprocess.run([server_bin, "-k"], env=env, capture_output=True, timeout=60)
    logs.close()

print(f"{time.monotonic() - started:.1f} s; files in {tmp}")
if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
shutil.rmtree(tmp, ignore_errors=True)
