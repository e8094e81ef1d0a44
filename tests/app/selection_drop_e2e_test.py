#!/usr/bin/env python3
"""A dropped selection end to end under Wine: a real OLE drag
(lumora-drag-source, the X pointer) offering only "HTML Format" and plain
text, as a browser drags a part of a page, onto lumora.exe. With
task\\lumora.ini turning today's web on ([Grab] TodaysWeb=1) exactly the
fragment's pictures are saved and the page it came from is not fetched;
without the file the design takes the plain text for an address, and
nothing is saved.

  selection_drop_e2e_test.py [--wine WINE] LUMORA_EXE DRAG_SOURCE_EXE [--reads-ini]

Runs under run_with_server.py (LUMORA_TEST_HTTP) with DISPLAY set, and needs
xdotool. Without --reads-ini the program cannot be switched on from a test:
the test says so and ends with status 77 (skipped).
"""
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import server_log  # noqa: E402

# The middle of the drop window, where the program puts it.
DROP_X, DROP_Y = 669 + 56 // 2, 124 + 30 // 2

args = sys.argv[1:]
wine = os.path.join(os.path.dirname(os.path.dirname(HERE)), "scripts", "wine.sh")
if args[:1] == ["--wine"]:
    wine, args = args[1], args[2:]
reads_ini = args[2:] == ["--reads-ini"]
if reads_ini:
    args = args[:2]
if len(args) != 2:
    sys.exit(__doc__)
lumora_exe, drag_source_exe = (os.path.abspath(a) for a in args)
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tag = f"/~seldrop{os.getpid()}"
base = server + tag
page = base + "/site/article/page.html"

failures = []


def check(name, ok, detail=""):
    print(("ok    " if ok else "FAIL  ") + name + ("" if ok else ": " + detail), flush=True)
    if not ok:
        failures.append(name)
    return ok


def wait_for(probe, timeout, step=0.2):
    end = time.monotonic() + timeout
    while True:
        value = probe()
        if value or time.monotonic() >= end:
            return value
        time.sleep(step)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def files_in(folder):
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


class DragSource:
    """lumora-drag-source: each press drags the next address."""

    def __init__(self, addresses, log):
        self.process = subprocess.Popen([wine, drag_source_exe, *addresses], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=log, text=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        line = self.next_line(30) or ""
        self.point = tuple(int(v) for v in line.split()[1:3]) if line.startswith("ready ") else None

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())
        self.lines.put(None)

    def next_line(self, timeout):
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            return None

    def drag(self):
        (sx, sy), steps = self.point, []
        for i in range(1, 6):
            steps += ["mousemove", sx + (DROP_X - sx) * i // 5, sy + (DROP_Y - sy) * i // 5,
                      "sleep", 0.1]
        words = ["mousemove", sx, sy, "sleep", 0.2, "mousedown", 1, "sleep", 0.3, *steps,
                 "mousemove", DROP_X + 1, DROP_Y, "sleep", 0.3, "mouseup", 1]
        subprocess.run(["xdotool", *map(str, words)], check=True, timeout=30)
        return self.next_line(10)

    def close(self):
        try:
            self.process.stdin.write("quit\n")
            self.process.stdin.close()
        except OSError:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


def grab_once(program_dir, pics, address, log, wanted, timeout):
    """Starts lumora.exe, drags address onto it, waits until the folder
    holds wanted (or timeout seconds), ends the program; gives the files."""
    lumora = subprocess.Popen([wine, os.path.join(program_dir, "lumora.exe")], cwd=program_dir,
                              stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
    source = DragSource([address], log)
    try:
        if not check("the drag source opens its window", source.point is not None):
            return []
        time.sleep(3)  # the drop window comes up
        if not check("lumora.exe runs", lumora.poll() is None, f"status {lumora.poll()}"):
            return []
        said = source.drag()
        check("the drop is taken with the link effect", said == "drop link", repr(said))
        wait_for(lambda: files_in(pics) == wanted, timeout)
        return files_in(pics)
    finally:
        source.close()
        lumora.kill()
        lumora.wait()


def html_format(frag, source):
    """An "HTML Format" block as a browser writes it."""
    before, after = "<html><body><!--StartFragment-->", "<!--EndFragment--></body></html>"

    def header(sh, eh, sf, ef):
        return (f"Version:0.9\r\nStartHTML:{sh:010d}\r\nEndHTML:{eh:010d}\r\n"
                f"StartFragment:{sf:010d}\r\nEndFragment:{ef:010d}\r\nSourceURL:{source}\r\n")
    h = len(header(0, 0, 0, 0))
    sf = h + len(before)
    ef = sf + len(frag)
    return header(h, ef + len(after), sf, ef) + before + frag + after


if not reads_ini:
    print("skip  this lumora.exe does not read task\\lumora.ini, so today's web cannot be "
          "turned on from a test", flush=True)
    sys.exit(77)

# Three pictures of the page (relative, root-relative, absolute), a link to
# another page and the page's text around them.
fragment = (f'<p>Three pictures</p><img src="one.jpg"><a href="other.html">more</a>'
            f'<img src="{tag}/site/two.gif"><p>and</p><img src="{base}/site/three.bmp">')
wanted = ["one.jpg", "three.bmp", "two.gif"]

tmp = tempfile.mkdtemp(prefix="lumora-selection-drop-")
log = open(os.path.join(tmp, "run.log"), "w")
try:
    block = os.path.join(tmp, "selection.html")
    with open(block, "w", encoding="latin-1", newline="") as f:
        f.write(html_format(fragment, page))
    for on in (False, True):
        program_dir = os.path.join(tmp, "on" if on else "off")
        pics = os.path.join(program_dir, "pics")
        os.makedirs(os.path.join(program_dir, "task"))
        shutil.copy(lumora_exe, os.path.join(program_dir, "lumora.exe"))
        with open(os.path.join(program_dir, "task", "shuxing.txt"), "wb") as f:
            f.write(b".JPG.BMP.GIF.TIF\r\n0\r\n" + windows_path(pics + "/").encode() + b"\r\n")
        if on:
            with open(os.path.join(program_dir, "task", "lumora.ini"), "wb") as f:
                f.write(b"[Grab]\r\nTodaysWeb=1\r\n")
        before = len(server_log.request_lines(server, tag))
        saved = grab_once(program_dir, pics, "selection:" + windows_path(block), log,
                          wanted if on else [], 20 if on else 5)
        asked = server_log.request_lines(server, tag)[before:]
        if on:
            check("switch on: exactly the fragment's pictures are saved", saved == wanted, str(saved))
            check("... with the bytes of their addresses", saved == wanted and all(
                open(os.path.join(pics, n), "rb").read() == f"{tag}/site/{'article/' if n == 'one.jpg' else ''}{n}".encode()
                for n in saved))
            check("... and the page itself is not fetched",
                  not any("page.html" in x or "other.html" in x for x in asked), str(asked))
        else:
            check("switch off: nothing is saved", saved == [], str(saved))
            check("... and not a request is sent", asked == [], str(asked))
finally:
    log.close()

if failures:
    print(f"{len(failures)} check(s) failed; files in {tmp}")
    sys.exit(1)
shutil.rmtree(tmp, ignore_errors=True)
