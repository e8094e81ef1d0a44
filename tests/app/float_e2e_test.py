#!/usr/bin/env python3
"""Lumora end to end under Wine, as a user meets it: links dragged from
another program onto the drop window, with a real OLE drag driven by the X
server's pointer, bring their pictures into the save folder; the window's
face on the screen says busy while a job runs and idle again after; an
address still being grabbed is not grabbed twice, one dropped again after
the window went idle is; two addresses dropped in quick succession are
grabbed side by side; the drop window's menu ends the program, also while
a job waits for its page and a worker writes a picture, without a crash and
without a partial file under a picture's name.

  float_e2e_test.py [--wine WINE] LUMORA_EXE DRAG_SOURCE_EXE

Runs under run_with_server.py (LUMORA_TEST_HTTP) with DISPLAY set, and needs
xdotool and ImageMagick's import. Prints one line per check; the screenshots
of the idle and the busy window stay in the test's temporary folder.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from http_server import pattern  # noqa: E402  (the bytes the server's /slow route sends)
import server_log  # noqa: E402
from e2e_support import (DEFAULT_WINE, DROP_X, DROP_Y, FLOAT_HEIGHT, FLOAT_LEFT,  # noqa: E402
                         FLOAT_TOP, FLOAT_WIDTH, DragSource, Failure, check, ended_within,
                         failures, files_in, require, set_up_program, wait_for)
import e2e_support  # noqa: E402

MARGIN = 10  # screenshots show a little of what lies around the window

# How long the server holds back the pages, so that a job is seen running:
# long enough for a drag or two, short enough for the whole test to stay
# under a minute.
PAGE_A_WAIT_MS = 5000
PAGE_B_WAIT_MS = 5000
SLOW_PICTURE_SIZE = 30000
# At the end: a page held back for longer than the rest of the test takes,
# and a picture sent in pieces for as long.
PAGE_E_WAIT_MS = 10000
SLOW_F_SIZE, SLOW_F_STEP_MS = 40000, 2500


# --- the command line ------------------------------------------------------

args = sys.argv[1:]
wine = DEFAULT_WINE
if args[:1] == ["--wine"]:
    wine, args = args[1], args[2:]
if len(args) != 2:
    sys.exit(__doc__)
lumora_exe, drag_source_exe = (os.path.abspath(a) for a in args)
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tag = f"/~float{os.getpid()}"
base = server + tag


# --- the loopback server ---------------------------------------------------

def page(path, body):
    server_log.register_page(server, tag + path, body)


def request_lines():
    """The request lines of this test's requests, in the order they arrived."""
    return server_log.request_lines(server, tag)


def indexes(lines, path):
    return [i for i, line in enumerate(lines) if line.startswith(f"GET {tag}{path} ")]


# --- the screen ------------------------------------------------------------

def screen(left, top, width, height):
    """Rows of (r, g, b) read from the X screen, or None."""
    try:
        raw = subprocess.run(["import", "-silent", "-window", "root", "-crop",
                              f"{width}x{height}+{left}+{top}", "+repage", "-depth", "8", "rgb:-"],
                             capture_output=True, timeout=10).stdout
    except (OSError, subprocess.TimeoutExpired):
        return None
    if len(raw) != width * height * 3:
        return None
    return [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
            for y in range(height)]


def face_of(shot):
    """What the drop window in a screenshot shows: "idle", "busy" or
    "nothing", and why. The window is see-through (alpha 200), so colours
    are judged by the channel that leads, not by exact values."""
    img = [row[MARGIN:MARGIN + FLOAT_WIDTH] for row in shot[MARGIN:MARGIN + FLOAT_HEIGHT]]
    ring = [img[0][FLOAT_WIDTH // 2], img[-1][FLOAT_WIDTH // 2], img[FLOAT_HEIGHT // 2][0],
            img[FLOAT_HEIGHT // 2][-1]]
    if not all(min(r, g) > b + 60 for r, g, b in ring):
        return "nothing", f"no gold frame: {ring}"
    inside = [p for row in img[2:-2] for p in row[2:-2]]
    green = sum(1 for r, g, b in inside if g > r + 40 and g > b + 40)
    red = sum(1 for r, g, b in inside if r > g + 40 and r > b + 40)
    dark = sum(1 for r, g, b in inside if max(r, g, b) < 40)
    counts = f"{green} green, {red} red, {dark} dark of {len(inside)}"
    if green < len(inside) // 2:
        return "nothing", "no green field: " + counts
    if red >= 40 and dark < 10:
        return "idle", counts
    if dark >= 40 and red < 10:
        return "busy", counts
    return "nothing", "neither face: " + counts


def window_shot():
    return screen(FLOAT_LEFT - MARGIN, FLOAT_TOP - MARGIN, FLOAT_WIDTH + 2 * MARGIN,
                  FLOAT_HEIGHT + 2 * MARGIN)


def face():
    shot = window_shot()
    return ("nothing", "the screen cannot be read") if shot is None else face_of(shot)


def wait_face(wanted, timeout):
    """Waits for a face; gives (seen, detail, screenshot)."""
    last = [("nothing", "not looked", None)]

    def probe():
        shot = window_shot()
        seen = ("nothing", "the screen cannot be read") if shot is None else face_of(shot)
        last[0] = seen + (shot,)
        return seen[0] == wanted

    wait_for(probe, timeout, step=0.1)
    return last[0]


def save_png(path, rows, scale=4):
    """Writes rows of (r, g, b) as a PNG, enlarged so the pixels can be seen."""
    lines = [b"\0" + b"".join(bytes(p) * scale for p in row) for row in rows]
    raw = b"".join(line for line in lines for _ in range(scale))
    height, width = len(rows) * scale, len(rows[0]) * scale

    def chunk(kind, data):
        crc = struct.pack(">I", zlib.crc32(kind + data))
        return struct.pack(">I", len(data)) + kind + data + crc

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2,
                                                                   0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


# --- the pointer -------------------------------------------------------------

def drop(name):
    """One drag onto the drop window, which answers a link with the link
    effect."""
    said = source.drag_to_drop_window(xdotool_timeout=20)
    check(name, said == "drop link", f"the drag source said {said!r}")


# --- the run ---------------------------------------------------------------

def content(folder, name):
    try:
        with open(os.path.join(folder, name), "rb") as f:
            return f.read()
    except OSError:
        return None


tmp = tempfile.mkdtemp(prefix="lumora-float-")
program_dir = os.path.join(tmp, "program")
pics = os.path.join(tmp, "pics")
set_up_program(program_dir, lumora_exe, pics)

# Page A's pictures: two whose bytes name their address, one sent slowly in
# pieces. Pictures are given as full addresses, since the held-back pages'
# own folders lie under /wait/.
slow_picture = f"/slow/{SLOW_PICTURE_SIZE}/300/three.jpg"
page_a = f"/wait/{PAGE_A_WAIT_MS}/site/a/index.html"
page("/site/a/index.html", f'<html><body><img src="{base}/site/a/one.jpg">'
     f'<p>text</p><IMG SRC="{base}/site/a/two.gif"><img src="{base}{slow_picture}"></body></html>')
page_b = f"/wait/{PAGE_B_WAIT_MS}/site/b/index.html"
page("/site/b/index.html", f'<img src="{base}/site/b/b1.bmp"><img src="{base}/site/b/b2.tif">')
page_c = "/site/c/index.html"
page(page_c, f'<img src="{base}/site/c/c1.jpg">')
page_e = f"/wait/{PAGE_E_WAIT_MS}/site/e/index.html"
page("/site/e/index.html", f'<img src="{base}/site/e/e1.jpg">')
page_f = "/site/f/index.html"
slow_f = f"/slow/{SLOW_F_SIZE}/{SLOW_F_STEP_MS}/four.jpg"
page(page_f, f'<img src="{base}{slow_f}">')
expected_a = {"one.jpg": f"{tag}/site/a/one.jpg".encode(),
              "two.gif": f"{tag}/site/a/two.gif".encode(),
              "three.jpg": pattern(SLOW_PICTURE_SIZE)}

logs = {name: open(os.path.join(tmp, name + ".log"), "w")
        for name in ("lumora", "source")}
lumora = source = None
started = time.monotonic()
try:
    require("a display to work on", bool(os.environ.get("DISPLAY")), "DISPLAY is not set")
    for tool in ("xdotool", "import"):
        require(f"{tool} is installed", shutil.which(tool) is not None, "not found on PATH")

    seen, detail = face()
    require("no drop window on the screen before Lumora starts", seen == "nothing",
            f"{seen} ({detail}): is another Lumora running on {os.environ.get('DISPLAY')}?")
    lumora = e2e_support.start_lumora(wine, program_dir, logs["lumora"])
    source = DragSource(wine, drag_source_exe,
                        [base + page_a] * 3 + [base + page_b, base + page_c, base + page_f,
                                               base + page_e], logs["source"])
    require("the drag source opens its window", source.wait_ready(30),
            "no \"ready\" line within 30 s (see source.log)")

    seen, detail, shot = wait_face("idle", 30)
    if lumora.poll() is not None:
        raise Failure(f"lumora.exe ended at once (status {lumora.returncode}); "
                      "is another Lumora running in this Wine prefix?")
    require("the drop window shows the idle face", seen == "idle", f"{seen}: {detail}")
    idle_png = os.path.join(tmp, "idle.png")
    save_png(idle_png, shot)
    print("      idle window: " + idle_png)

    # A job is busy from its start: the page is held back, so the face can
    # be seen, and a second drop of the same address lands inside the job.
    drop("a drop is answered with the link effect")
    seen, detail, shot = wait_face("busy", PAGE_A_WAIT_MS / 1000 - 1)
    check("the busy face shows while the page is fetched", seen == "busy", f"{seen}: {detail}")
    if shot:
        busy_png = os.path.join(tmp, "busy.png")
        save_png(busy_png, shot)
        print("      busy window: " + busy_png)

    drop("the same address dropped again is taken")
    seen, detail = face()
    check("... while the job still runs", seen == "busy", f"{seen}: {detail}")

    wait_for(lambda: set(files_in(pics)) >= set(expected_a) and files_in(pics), 20)
    check("page A's pictures are saved under their names", files_in(pics) == sorted(expected_a),
          f"saved {files_in(pics)}")
    for name, data in expected_a.items():
        check(f"... {name} has the bytes the server sent", content(pics, name) == data,
              f"{len(content(pics, name) or b'')} bytes")
    seen, detail, _ = wait_face("idle", 5)
    check("the idle face returns when the queue has run dry", seen == "idle", f"{seen}: {detail}")
    lines = request_lines()
    check("the address dropped while it was grabbed started nothing",
          len(indexes(lines, page_a)) == 1, f"page requests: {indexes(lines, page_a)}")

    # Once idle, the window has let the address go: the same drop starts a
    # new job.
    drop("a third drop of the address is taken")
    check("after idle the same address starts a new job",
          wait_for(lambda: len(indexes(request_lines(), page_a)) == 2, 5),
          f"page requests: {indexes(request_lines(), page_a)}")

    # Two addresses in quick succession: page B is held back for longer
    # than the second drag takes, so page C's request arriving before any of
    # B's pictures are asked for shows the two jobs running side by side.
    drop("a drop of address B is taken")
    drop("a drop of address C is taken")
    expected_all = sorted(list(expected_a) + ["one(1).jpg", "two(1).gif", "three(1).jpg",
                                              "b1.bmp", "b2.tif", "c1.jpg"])
    wait_for(lambda: files_in(pics) == expected_all, PAGE_B_WAIT_MS / 1000 + 10)
    lines = request_lines()
    b_page, c_page = indexes(lines, page_b), indexes(lines, page_c)
    b_pictures = indexes(lines, "/site/b/b1.bmp") + indexes(lines, "/site/b/b2.tif")
    check("pages B and C are each fetched once", len(b_page) == 1 and len(c_page) == 1,
          f"B at {b_page}, C at {c_page}")
    check("page C is fetched while page B's job still waits for its page",
          b_page and c_page and b_page[0] < c_page[0]
          and (not b_pictures or c_page[0] < min(b_pictures)),
          f"B at {b_page}, C at {c_page}, B's pictures at {b_pictures}")
    check("every job's pictures are saved, second copies numbered", files_in(pics) == expected_all,
          f"saved {files_in(pics)}")
    expected_all_content = dict(expected_a, **{n: expected_a[n.replace("(1)", "")]
                                               for n in ("one(1).jpg", "two(1).gif",
                                                         "three(1).jpg")},
                                **{n: f"{tag}/site/{n[0]}/{n}".encode()
                                   for n in ("b1.bmp", "b2.tif", "c1.jpg")})
    wrong = [n for n in ("one(1).jpg", "two(1).gif", "three(1).jpg")
             if content(pics, n) != expected_a[n.replace("(1)", "")]]
    check("... the second copies have the same bytes", not wrong, f"wrong: {wrong}")
    wrong = [n for n in ("b1.bmp", "b2.tif", "c1.jpg")
             if content(pics, n) != f"{tag}/site/{n[0]}/{n}".encode()]
    check("... pages B and C's pictures have their bytes", not wrong, f"wrong: {wrong}")
    seen, detail, _ = wait_face("idle", 5)
    check("the idle face returns after all jobs", seen == "idle", f"{seen}: {detail}")

    # The end comes while page F's worker writes its slow picture and page
    # E's job still waits for its page.
    drop("a drop of address F is taken")
    drop("a drop of address E is taken")
    check("page E's job and page F's worker are at work",
          wait_for(lambda: indexes(request_lines(), page_e)
                   and indexes(request_lines(), slow_f), 10),
          f"requests: {request_lines()[-4:]}")

    # The drop window's menu: a right click opens it at the pointer; Exit is
    # its last item, which Up reaches from nothing selected.
    e2e_support.xdotool("mousemove", DROP_X, DROP_Y, "sleep", 0.2, "click", 3, "sleep", 1.0,
                        timeout=20)
    menu = screen(DROP_X - 20, DROP_Y - 20, 200, 140)
    e2e_support.xdotool("key", "Up", "sleep", 0.3, "key", "Return", timeout=20)
    if not check("Exit from the drop window's menu ends the program", ended_within(lumora, 10),
                 "still running 10 s after the menu's Exit was clicked") and menu:
        save_png(os.path.join(tmp, "menu.png"), menu, scale=2)
        print("      the menu as it was: " + os.path.join(tmp, "menu.png"))
    if lumora.poll() is not None:
        check("... with status 0", lumora.returncode == 0, f"status {lumora.returncode}")
        seen, detail = face()
        check("... and the drop window is gone", seen == "nothing", f"{seen}: {detail}")
        complete = dict(expected_all_content, **{"four.jpg": pattern(SLOW_F_SIZE)})
        partial = [n for n in files_in(pics)
                   if not n.endswith(".tmp") and content(pics, n) != complete.get(n)]
        check("... leaving no partial file under a picture's name", not partial,
              f"partial or unknown: {partial}")
except Failure as e:
    if str(e) not in failures:
        check("the test could go on", False, str(e))
except (subprocess.SubprocessError, OSError) as e:
    check("the test could go on", False, f"a tool failed: {e}")
finally:
    if source:
        source.close()
        if not ended_within(source.process, 10):
            check("the drag source ends when told", False, "killed")
    for p in (lumora, source.process if source else None):
        if p and p.poll() is None:
            p.kill()
            p.wait()
    for log in logs.values():
        log.close()

print(f"{time.monotonic() - started:.1f} s; files in {tmp}")
if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
# Only the screenshots are kept after a pass.
shutil.rmtree(program_dir, ignore_errors=True)
shutil.rmtree(pics, ignore_errors=True)
for name in logs:
    os.remove(os.path.join(tmp, name + ".log"))
