#!/usr/bin/env python3
"""Lumora's main window end to end under Wine, driven as a user drives it
with the X server's pointer and keyboard: a double click on the tray icon
shows the main window; each of the six items of the tray menu does its
work (Set and About show their panels, Folder and Help open the save
folder and the help file, Show/hide floatform hides and shows the drop
window, Exit ends the program); the today's-web box ticked and cancelled
stores nothing; settings typed into the panel and committed with OK are
written to the settings file (the box to lumora.ini beside it) and used by
the next grab, which a real OLE drag onto the drop window starts; a second
copy of the program, also under another file name, ends at once; the close
glyph ends the program too.

  main_e2e_test.py [--wine WINE] LUMORA_EXE DRAG_SOURCE_EXE [SHOTS_DIR]

Runs under run_with_server.py (LUMORA_TEST_HTTP) with DISPLAY set, and needs
xdotool and ImageMagick's import. Screenshots of the main window with each
panel, the tray menu and the drop window go to SHOTS_DIR (default: the
test's temporary folder).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import server_log  # noqa: E402
from e2e_support import (DEFAULT_WINE, DROP_X, DROP_Y, FLOAT_HEIGHT, FLOAT_LEFT,  # noqa: E402
                         FLOAT_TOP, FLOAT_WIDTH, Failure, check, ended_within, failures,
                         require, wait_for, windows_path)

# Where the program puts its windows.
MAIN_LEFT, MAIN_TOP = 189, 136
PANEL_LEFT, PANEL_TOP = MAIN_LEFT + 72, MAIN_TOP + 35
PANEL_COLOUR = (193, 193, 255)
TODAYS_WEB_BOX = (10 + 6, 125 + 8)  # the box of FlatCheckBox5, in the panel

args = sys.argv[1:]
wine = DEFAULT_WINE
if args[:1] == ["--wine"]:
    wine, args = os.path.abspath(args[1]), args[2:]
if len(args) not in (2, 3):
    sys.exit(__doc__)
lumora_exe, drag_source_exe = (os.path.abspath(a) for a in args[:2])
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tag = f"/~main{os.getpid()}"
base = server + tag


# --- the screen, the pointer and the keyboard --------------------------------

def xdotool(*words, output=False):
    r = subprocess.run(["xdotool", *map(str, words)], capture_output=True, text=True, timeout=20)
    return r.stdout if output else r.returncode == 0


def visible_titles():
    return set(xdotool("search", "--onlyvisible", "--name", ".", "getwindowname", "%@",
                       output=True).splitlines())


def pixel(x, y):
    raw = subprocess.run(["import", "-silent", "-window", "root", "-crop", f"1x1+{x}+{y}",
                          "+repage", "-depth", "8", "rgb:-"], capture_output=True,
                         timeout=10).stdout
    return tuple(raw[:3]) if len(raw) >= 3 else None


def near(a, b, tolerance=12):
    return a is not None and all(abs(x - y) <= tolerance for x, y in zip(a, b))


def shot(name, crop=None):
    path = os.path.join(shots, name + ".png")
    cmd = ["import", "-silent", "-window", "root"]
    if crop:
        cmd += ["-crop", crop, "+repage"]
    subprocess.run(cmd + [path], timeout=20)
    print("      screenshot: " + path)


def main_shown():
    # The card's title strip lies at the top of the window's outline.
    p = pixel(MAIN_LEFT + 250, MAIN_TOP + 20)
    return p is not None and p[2] > 150 and p[0] < 180 and p[1] < 180


def area(x, y, width, height):
    raw = subprocess.run(["import", "-silent", "-window", "root", "-crop",
                          f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                         capture_output=True, timeout=10).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw) - 2, 3)]


def marks(pixels):
    """How many pixels are not the panel's colour: frames, boxes, text."""
    return sum(1 for p in pixels if not near(p, PANEL_COLOUR))


def settings_panel_shown():
    """The type boxes in their frame, on the panel's colour."""
    boxes = area(PANEL_LEFT + 8, PANEL_TOP + 20, 60, 40)
    return main_shown() and marks(boxes) > 50 and marks(boxes) < len(boxes) // 2


def about_panel_shown():
    """Nothing where the type boxes would be; grey text where Label4 lies."""
    boxes = area(PANEL_LEFT + 8, PANEL_TOP + 20, 60, 40)
    label = area(PANEL_LEFT + 24, PANEL_TOP + 64, 224, 16)
    grey = sum(1 for p in label if max(p) - min(p) < 30 and 60 < p[0] < 200)
    return main_shown() and marks(boxes) == 0 and grey > 40


def drop_window_shown():
    # The idle face: a gold frame around a dark-green field.
    p = pixel(FLOAT_LEFT + 28, FLOAT_TOP)
    return p is not None and min(p[0], p[1]) > p[2] + 60


def tray_icon_point():
    out = xdotool("search", "--name", "Wine System Tray", "getwindowgeometry", output=True)
    position = size = None
    for line in out.splitlines():
        line = line.strip()
        if line.startswith("Position:"):
            position = [int(v) for v in line.split()[1].split(",")]
        elif line.startswith("Geometry:"):
            size = [int(v) for v in line.split()[1].split("x")]
    if not position or not size:
        return None
    # One icon: the first square cell, as high as the tray.
    return position[0] + size[1] // 2, position[1] + size[1] // 2


# The menu opens below and to the right of the pointer; its items are this
# many pixels apart, the first one's middle this far below the pointer.
MENU_ITEM_HEIGHT, MENU_FIRST_ITEM = 17, 11


def open_menu():
    """Right-clicks the tray icon until the menu shows (white below the
    pointer, where the screen is black without it)."""
    x, y = tray
    for _ in range(3):
        xdotool("mousemove", x, y, "sleep", 0.2, "click", 3)
        if wait_for(lambda: near(pixel(x + 40, y + MENU_FIRST_ITEM + 2 * MENU_ITEM_HEIGHT),
                                 (255, 255, 255), 30), 3):
            return True
        xdotool("key", "Escape")
    return False


def menu(index):
    """Picks item index (from 0) of the tray menu with the mouse."""
    x, y = tray
    if not open_menu():
        check(f"the tray menu opens for item {index}", False, "no menu seen")
        return
    xdotool("mousemove", x + 30, y + MENU_FIRST_ITEM + MENU_ITEM_HEIGHT * index, "sleep", 0.3,
            "click", 1)
    time.sleep(0.8)


def close_windows_titled(title):
    """Ends the programs the shell started for us, known by their window."""
    for w in xdotool("search", "--name", f"^{title}$", output=True).split():
        pid = xdotool("getwindowpid", w, output=True).strip()
        if pid.isdigit():
            try:
                os.kill(int(pid), 15)
            except OSError:
                pass
    wait_for(lambda: title not in visible_titles(), 5)


def start_lumora(name="lumora.exe"):
    log = open(os.path.join(tmp, name + ".log"), "w")
    return subprocess.Popen([wine, os.path.join(program_dir, name)], cwd=program_dir,
                            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def type_into(x, y, text):
    """Clicks into an edit box, replaces its text with text."""
    xdotool("mousemove", x, y, "click", 1, "sleep", 0.2, "key", "End", "shift+Home", "BackSpace")
    xdotool("type", "--delay", 20, text)


# --- the run -----------------------------------------------------------------

tmp = tempfile.mkdtemp(prefix="lumora-main-")
shots = os.path.abspath(args[2]) if len(args) == 3 else tmp
os.makedirs(shots, exist_ok=True)
program_dir = os.path.join(tmp, "program")
first_pics = os.path.join(tmp, "first")
panel_pics = os.path.join(tmp, "from the panel")  # typed without its backslash
settings = os.path.join(program_dir, "task", "shuxing.txt")
lumora_ini = os.path.join(program_dir, "task", "lumora.ini")
os.makedirs(os.path.join(program_dir, "task"))
shutil.copy(lumora_exe, os.path.join(program_dir, "lumora.exe"))
shutil.copy(lumora_exe, os.path.join(program_dir, "lumora-copy.exe"))
for beside in ("help.chm", "sserife.fon"):  # the help, the windows' face
    path = os.path.join(os.path.dirname(lumora_exe), beside)
    if os.path.exists(path):
        shutil.copy(path, program_dir)
with open(settings, "wb") as f:
    f.write(b".GIF\r\n0\r\n" + windows_path(first_pics + "/").encode() + b"\r\nfour\r\n")

page = "/site/page.html"
server_log.register_page(server, tag + page,
                         f'<img src="{base}/announce/20480/64/big.jpg">'
                         f'<img src="{base}/announce/2048/64/small.jpg">'
                         f'<img src="{base}/announce/40960/64/big.gif">')

lumora = second = third = source = None
started = time.monotonic()
try:
    require("a display to work on", bool(os.environ.get("DISPLAY")), "DISPLAY is not set")
    for tool in ("xdotool", "import"):
        require(f"{tool} is installed", shutil.which(tool) is not None, "not found on PATH")
    require("no drop window on the screen before Lumora starts", not drop_window_shown(),
            "is another Lumora running on this display?")

    lumora = start_lumora()
    require("the drop window comes up", wait_for(drop_window_shown, 30), "not seen in 30 s")
    require("lumora.exe runs", lumora.poll() is None, f"ended with {lumora.poll()}")
    check("the main window starts hidden", not main_shown())
    tray = wait_for(tray_icon_point, 10)
    require("the tray icon is in Wine's tray", tray is not None, "no tray window")
    shot("drop-window", f"{FLOAT_WIDTH + 40}x{FLOAT_HEIGHT + 40}+{FLOAT_LEFT - 20}+{FLOAT_TOP - 20}")

    # A double click on the tray icon shows the main window, settings first.
    xdotool("mousemove", *tray, "sleep", 0.2, "click", "--repeat", 2, "--delay", 80, 1)
    check("a double click on the tray icon shows the main window", wait_for(main_shown, 10))
    check("... with the settings panel", wait_for(settings_panel_shown, 3))
    shot("main-settings", f"400x260+{MAIN_LEFT}+{MAIN_TOP}")

    # The minimise glyph sends it back to the tray.
    xdotool("mousemove", MAIN_LEFT + 303 + 8, MAIN_TOP + 16 + 8, "click", 1)
    check("the minimise glyph hides the main window", wait_for(lambda: not main_shown(), 5))

    # The menu, item by item.
    check("a right click on the tray icon opens the menu", open_menu())
    shot("tray-menu", f"300x200+0+0")
    xdotool("key", "Escape")
    time.sleep(0.5)

    menu(4)
    check("About shows the main window with the about panel",
          wait_for(main_shown, 5) and wait_for(about_panel_shown, 3))
    shot("main-about", f"400x260+{MAIN_LEFT}+{MAIN_TOP}")
    menu(0)
    check("Set shows the settings panel", wait_for(settings_panel_shown, 3))

    menu(3)
    check("Show/hide floatform hides the drop window", wait_for(lambda: not drop_window_shown(), 5))
    menu(3)
    check("... and shows it again", wait_for(drop_window_shown, 5))

    # Folder and Help leave a hidden main window hidden. The folder exists
    # (the start-up does not make the file's folder).
    os.makedirs(first_pics)
    xdotool("mousemove", MAIN_LEFT + 303 + 8, MAIN_TOP + 16 + 8, "click", 1)
    require("the main window is hidden again", wait_for(lambda: not main_shown(), 5))
    before = visible_titles()
    menu(1)
    check("Folder opens the save folder",
          wait_for(lambda: os.path.basename(first_pics) in visible_titles() - before, 15),
          f"windows: {sorted(visible_titles() - before)}")
    check("... and the main window stays hidden", "FormMain" not in visible_titles())
    close_windows_titled(os.path.basename(first_pics))
    menu(2)
    check("Help opens the help file", wait_for(lambda: "Lumora Help" in visible_titles(), 15),
          f"windows: {sorted(visible_titles() - before)}")
    check("... and the main window stays hidden", "FormMain" not in visible_titles())
    close_windows_titled("Lumora Help")

    # Today's web ticked, then Cancel: nothing is stored, and the box stays
    # ticked on the panel for the OK below.
    menu(0)
    require("the settings panel is up for the switch", wait_for(settings_panel_shown, 5))
    untouched = read(settings)
    xdotool("mousemove", PANEL_LEFT + TODAYS_WEB_BOX[0], PANEL_TOP + TODAYS_WEB_BOX[1], "click", 1)
    shot("main-settings-todays-web", f"400x260+{MAIN_LEFT}+{MAIN_TOP}")
    xdotool("mousemove", PANEL_LEFT + 144 + 30, PANEL_TOP + 144 + 10, "click", 1)  # Cancel
    check("Cancel hides the main window", wait_for(lambda: not main_shown(), 5))
    check("... stores no switch", not os.path.exists(lumora_ini), f"{read(lumora_ini)!r}")
    check("... and leaves the settings file", read(settings) == untouched, f"{read(settings)!r}")

    # The panel, as a user fills it in: JPG on, GIF off (BMP and TIF stay
    # off, as the file had them), a minimum size of
    # 10 k, a folder typed without its backslash; then OK.
    menu(0)
    require("the settings panel is up for typing", wait_for(settings_panel_shown, 5))
    group2 = (PANEL_LEFT + 5, PANEL_TOP + 16)
    group3 = (PANEL_LEFT + 75, PANEL_TOP + 16)
    xdotool("mousemove", group2[0] + 5 + 8, group2[1] + 8 + 8, "click", 1)  # JPG
    xdotool("mousemove", group2[0] + 5 + 8, group2[1] + 40 + 8, "click", 1)  # GIF
    xdotool("mousemove", group3[0] + 8 + 8, group3[1] + 40 + 8, "click", 1)  # size radio
    type_into(group3[0] + 128 + 20, group3[1] + 32 + 9, "10")
    type_into(PANEL_LEFT + 80 + 90, PANEL_TOP + 104 + 9, windows_path(panel_pics))
    shot("main-settings-typed", f"400x260+{MAIN_LEFT}+{MAIN_TOP}")
    xdotool("mousemove", PANEL_LEFT + 40 + 30, PANEL_TOP + 144 + 10, "click", 1)  # OK
    check("OK hides the main window", wait_for(lambda: not main_shown(), 5))
    written = read(settings)
    expected = (b".JPG\r\n10\r\n" + windows_path(panel_pics + "/").encode() + b"\r\nfour\r\n")
    check("OK writes the panel's values, keeps line 4, ends lines in CR LF", written == expected,
          f"{written!r}, expected {expected!r}")
    check("... and makes the folder", os.path.isdir(panel_pics))
    check("... and stores the switch ticked before Cancel in lumora.ini",
          read(lumora_ini) == b"[Grab]\r\nTodaysWeb=1\r\n", f"{read(lumora_ini)!r}")

    # A drop grabs with the settings from the panel: JPG only, 10 k or more.
    source = subprocess.Popen([wine, drag_source_exe, base + page], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    line = source.stdout.readline().split()
    require("the drag source opens its window", line[:1] == ["ready"], f"said {line}")
    sx, sy = int(line[1]), int(line[2])
    steps = []
    for i in range(1, 6):
        steps += ["mousemove", sx + (DROP_X - sx) * i // 5, sy + (DROP_Y - sy) * i // 5, "sleep",
                  0.1]
    xdotool("mousemove", sx, sy, "sleep", 0.2, "mousedown", 1, "sleep", 0.3, *steps,
            "mousemove", DROP_X + 1, DROP_Y, "sleep", 0.3, "mouseup", 1)
    said = source.stdout.readline().strip()
    check("the drop is taken", said == "drop link", f"the drag source said {said!r}")
    wait_for(lambda: os.listdir(panel_pics), 15)
    time.sleep(2)  # the skipped ones have had their chance
    check("the grab saves only what the panel's settings let through",
          sorted(os.listdir(panel_pics)) == ["big.jpg"], f"saved {sorted(os.listdir(panel_pics))}")
    check("... and nothing in the old folder", not os.listdir(first_pics))

    # One Lumora per desktop, whatever the file is called.
    for name in ("lumora.exe", "lumora-copy.exe"):
        p = start_lumora(name)
        check(f"a second start as {name} ends at once", ended_within(p, 15),
              "still running after 15 s")
        if p.poll() is None:
            p.kill()
    check("... and the first keeps running", lumora.poll() is None and drop_window_shown())

    menu(5)
    check("Exit ends the program", ended_within(lumora, 10), "still running 10 s later")
    check("... with status 0", lumora.poll() == 0, f"status {lumora.poll()}")
    check("... and the drop window is gone", wait_for(lambda: not drop_window_shown(), 5))

    # The close glyph ends it too.
    third = start_lumora()
    require("Lumora starts again", wait_for(drop_window_shown, 30))
    tray = wait_for(tray_icon_point, 10)
    xdotool("mousemove", *tray, "sleep", 0.2, "click", 1)
    require("a click on the tray icon shows the main window", wait_for(main_shown, 10))
    xdotool("mousemove", MAIN_LEFT + 320 + 8, MAIN_TOP + 16 + 8, "click", 1)
    check("the close glyph ends the program", ended_within(third, 10), "still running 10 s later")
except Failure as e:
    if str(e) not in failures:
        check("the test could go on", False, str(e))
except (subprocess.SubprocessError, OSError, ValueError, IndexError) as e:
    check("the test could go on", False, f"a tool failed: {e!r}")
finally:
    if source:
        try:
            source.stdin.write("quit\n")
            source.stdin.close()
        except OSError:
            pass
        if not ended_within(source, 10):
            source.kill()
    for p in (lumora, third):
        if p and p.poll() is None:
            p.kill()
            p.wait()

print(f"{time.monotonic() - started:.1f} s; files in {tmp}")
if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
shutil.rmtree(program_dir, ignore_errors=True)
