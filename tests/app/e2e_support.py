"""What the end-to-end scripts under Wine share: checks that print one line
each and collect the failures, waiting for a probe, paths as Wine sees
them, a program folder for lumora.exe, and the real OLE drag of
lumora-drag-source onto the drop window, driven with xdotool.

The scripts sit beside this file, so Python finds it wherever ctest runs
them from.
"""
import os
import queue
import shutil
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
# scripts/wine.sh, for a script run by hand without --wine.
DEFAULT_WINE = os.path.join(os.path.dirname(os.path.dirname(HERE)), "scripts", "wine.sh")

# Where the program puts its drop window, and the point a drag aims at.
FLOAT_LEFT, FLOAT_TOP, FLOAT_WIDTH, FLOAT_HEIGHT = 669, 124, 56, 30
DROP_X, DROP_Y = FLOAT_LEFT + FLOAT_WIDTH // 2, FLOAT_TOP + FLOAT_HEIGHT // 2

# The names of the failed checks; the scripts read it, never rebind it.
failures = []


class Failure(Exception):
    """A check whose failure leaves nothing sensible to check after it."""


def check(name, ok, detail=""):
    print(("ok    " if ok else "FAIL  ") + name + ("" if ok else ": " + str(detail)), flush=True)
    if not ok:
        failures.append(name)
    return ok


def require(name, ok, detail=""):
    if not check(name, ok, detail):
        raise Failure(name)


def wait_for(probe, timeout, step=0.2):
    """Polls probe until it gives a true value or timeout seconds passed;
    gives its last value."""
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


def ended_within(process, timeout):
    try:
        process.wait(timeout=timeout)
        return True
    except subprocess.TimeoutExpired:
        return False


def xdotool(*words, timeout=30):
    subprocess.run(["xdotool", *map(str, words)], check=True, timeout=timeout)


def set_up_program(program_dir, lumora_exe, pics, todays_web=False):
    """A program folder as an installation has it: lumora.exe and its
    task\\shuxing.txt saving pictures of the four types into pics; with
    todays_web, task\\lumora.ini turning today's web on."""
    os.makedirs(os.path.join(program_dir, "task"))
    shutil.copy(lumora_exe, os.path.join(program_dir, "lumora.exe"))
    with open(os.path.join(program_dir, "task", "shuxing.txt"), "wb") as f:
        f.write(b".JPG.BMP.GIF.TIF\r\n0\r\n" + windows_path(pics + "/").encode() + b"\r\n")
    if todays_web:
        with open(os.path.join(program_dir, "task", "lumora.ini"), "wb") as f:
            f.write(b"[Grab]\r\nTodaysWeb=1\r\n")


def start_lumora(wine, program_dir, log):
    """lumora.exe from the program folder, as a user starts it."""
    return subprocess.Popen([wine, os.path.join(program_dir, "lumora.exe")], cwd=program_dir,
                            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)


class DragSource:
    """lumora-drag-source, with its output lines collected as they come:
    each press in its window drags the next address."""

    def __init__(self, wine, drag_source_exe, addresses, log, env=None):
        self.process = subprocess.Popen([wine, drag_source_exe, *addresses], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=log, text=True, env=env)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.point = None

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())
        self.lines.put(None)

    def next_line(self, timeout):
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            return None

    def wait_ready(self, timeout):
        line = self.next_line(timeout) or ""
        if line.startswith("ready "):
            self.point = tuple(int(v) for v in line.split()[1:3])
        return self.point is not None

    def drag_to_drop_window(self, xdotool_timeout=30):
        """Presses in the source, moves onto the drop window in steps and
        lets go; gives the source's account of the drag."""
        (sx, sy), steps = self.point, []
        for i in range(1, 6):
            steps += ["mousemove", sx + (DROP_X - sx) * i // 5, sy + (DROP_Y - sy) * i // 5,
                      "sleep", 0.1]
        xdotool("mousemove", sx, sy, "sleep", 0.2, "mousedown", 1, "sleep", 0.3, *steps,
                "mousemove", DROP_X + 1, DROP_Y, "sleep", 0.3, "mouseup", 1,
                timeout=xdotool_timeout)
        return self.next_line(timeout=10)

    def close(self):
        """Tells the source to end; the caller waits for it."""
        try:
            self.process.stdin.write("quit\n")
            self.process.stdin.close()
        except OSError:
            pass

    def end(self, timeout=10):
        """Tells the source to end and waits for it, killing it if it
        does not."""
        self.close()
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()


def grab_once(wine, drag_source_exe, program_dir, pics, address, log, wanted, timeout):
    """Starts lumora.exe, drags address onto it, waits until the folder
    holds wanted (or timeout seconds), ends the program; gives the files."""
    lumora = start_lumora(wine, program_dir, log)
    source = DragSource(wine, drag_source_exe, [address], log)
    try:
        if not check("the drag source opens its window", source.wait_ready(30)):
            return []
        time.sleep(3)  # the drop window comes up
        if not check("lumora.exe runs", lumora.poll() is None, f"status {lumora.poll()}"):
            return []
        said = source.drag_to_drop_window()
        check("the drop is taken with the link effect", said == "drop link", repr(said))
        wait_for(lambda: files_in(pics) == wanted, timeout)
        return files_in(pics)
    finally:
        source.end()
        lumora.kill()
        lumora.wait()


def parse_command_line(usage, count):
    """[--wine WINE] and count program paths, made absolute, then an
    optional --reads-ini; gives (wine, paths, reads_ini). Anything else
    ends the script with usage."""
    args, wine = sys.argv[1:], DEFAULT_WINE
    if args[:1] == ["--wine"]:
        wine, args = args[1], args[2:]
    reads_ini = args[count:] == ["--reads-ini"]
    if reads_ini:
        args = args[:count]
    if len(args) != count:
        sys.exit(usage)
    return wine, [os.path.abspath(a) for a in args], reads_ini


def skip_unless_reads_ini(reads_ini):
    """Ends the script with status 77, which ctest counts as skipped, when
    the program cannot be switched on from a test."""
    if not reads_ini:
        print("skip  this lumora.exe does not read task\\lumora.ini, so today's web cannot be "
              "turned on from a test", flush=True)
        sys.exit(77)


def finish(tmp):
    """Ends the script: status 1 with the files kept after a failure,
    else the temporary folder removed."""
    if failures:
        print(f"{len(failures)} check(s) failed; files in {tmp}")
        sys.exit(1)
    shutil.rmtree(tmp, ignore_errors=True)
