#!/usr/bin/env python3
"""Today's web end to end under Wine: an https:// page dragged onto the
drop window with a real OLE drag (the X pointer, lumora-drag-source) saves
its pictures when task\\lumora.ini turns today's web on ([Grab]
TodaysWeb=1); the same drag with the file missing saves nothing and sends
not a request. The test CA is trusted only in the test's Wine prefix
(lumora-trust-ca, the current user's Root store).

  https_drop_e2e_test.py [--wine WINE] LUMORA_EXE DRAG_SOURCE_EXE TRUST_CA_EXE
                         [--reads-ini]

Runs under run_with_server.py (LUMORA_TEST_HTTP, LUMORA_TEST_TLS,
LUMORA_TEST_CA) with DISPLAY set, and needs xdotool. --reads-ini says that
the program's sources read task\lumora.ini (the build finds out); without
it the program cannot be switched on, and the test says so and ends with
status 77, which ctest counts as skipped.
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
reads_ini = args[3:] == ["--reads-ini"]
if reads_ini:
    args = args[:3]
if len(args) != 3:
    sys.exit(__doc__)
lumora_exe, drag_source_exe, trust_ca_exe = (os.path.abspath(a) for a in args)
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tls = dict(item.split("=") for item in os.environ["LUMORA_TEST_TLS"].split())
tag = f"/~httpsdrop{os.getpid()}"
secure = f"https://localhost:{tls['good']}{tag}"

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


if not reads_ini:
    print("skip  this lumora.exe does not read task\\lumora.ini, so today's web cannot be "
          "turned on from a test", flush=True)
    sys.exit(77)

tmp = tempfile.mkdtemp(prefix="lumora-https-drop-")
log = open(os.path.join(tmp, "run.log"), "w")
try:
    trusted = subprocess.run([wine, trust_ca_exe, windows_path(os.environ["LUMORA_TEST_CA"])],
                             capture_output=True, text=True, timeout=120)
    check("the test CA is trusted in this Wine prefix", trusted.returncode == 0, trusted.stderr)

    server_log.register_page(server, tag + "/site/index.html",
                             '<img src="one.jpg"><img src="//localhost:' + tls["good"] + tag +
                             '/site/two.gif">')
    page = secure + "/site/index.html"
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
        wanted = ["one.jpg", "two.gif"] if on else []
        saved = grab_once(program_dir, pics, page, log, wanted, 20 if on else 5)
        asked = server_log.request_lines(server, tag)[before:]
        if on:
            check("switch on: the https:// page's pictures are saved", saved == wanted, str(saved))
            check("... with the bytes of their addresses",
                  all(open(os.path.join(pics, n), "rb").read() == f"{tag}/site/{n}".encode()
                      for n in saved))
        else:
            check("switch off: nothing is saved", saved == [], str(saved))
            check("... and not a request is sent", asked == [], str(asked))
finally:
    log.close()

if failures:
    print(f"{len(failures)} check(s) failed; files in {tmp}")
    sys.exit(1)
shutil.rmtree(tmp, ignore_errors=True)
