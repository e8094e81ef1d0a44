#!/usr/bin/env python3
"""lumora-grab end to end against the loopback server, as a user runs it:
the pictures a page allows are saved under the names the rules give, and
the command ends only after every worker has (runs repeat to catch a worker
that never starts). Settings come from a settings file or from options,
which win; bad options and unusable settings files are refused with status
2 before anything is fetched. A page of 100 MB is read up to the cut and the
summary says so; with --measure-memory, neither such a page nor a picture of
100 MB makes the tool's memory grow anywhere near that size. Natively, a
terminal gets a progress line.

  grab_cli_test.py [--wine WINE] [--measure-memory] LUMORA_GRAB [RUNS]
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

import cli_support
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import server_log  # noqa: E402
from cli_support import check, command_line, failures, finish, run_measured, tool_path

prefix, tool, runs = command_line(default_runs=10)
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tag = f"/~grabcli{os.getpid()}"
base = server + tag



def folder_arg(path):
    return tool_path(prefix, path)


def page(path, body):
    server_log.register_page(server, tag + path, body)


def requests():
    return server_log.request_lines(server, tag)


def run(extra, timeout=60):
    return subprocess.run(prefix + [tool] + extra, capture_output=True, text=True,
                          timeout=timeout, errors="replace")


def saved(folder):
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


# The page of the main case: relative, root-relative, "../", "./" and "//"
# references, quotes, a duplicate differing in case, an empty src, a type
# that is off, a 404 and a name taken twice.
port = server.rsplit(":", 1)[1]
page("/site/gallery/index.html",
     f'<html><img src="a.jpg"><img src="{tag}/site/root.gif"><IMG SRC="../up.bmp">'
     f"<img src='./here.tif'><img src=\"//127.0.0.1:{port}{tag}/site/cdn.jpg\"><img src=\"\">"
     f'<img src="A.JPG"><img src="notes.png"><img src="{tag}/status/404/gone.jpg">'
     f'<img src="x/same.gif"><img src="y/same.gif"></html>')
expected = ["a.jpg", "cdn.jpg", "here.tif", "root.gif", "same(1).gif", "same.gif", "up.bmp"]
address = base + "/site/gallery/index.html"

tmp = tempfile.mkdtemp(prefix="lumora-grab-")
try:
    for r in range(runs):
        out = os.path.join(tmp, f"run{r}")
        try:
            p = run([address, "--folder", folder_arg(out)])
        except subprocess.TimeoutExpired:
            failures.append(f"run {r}: no end within 60 s")
            continue
        ok = p.returncode == 1 and saved(out) == expected
        ok = ok and "9 queued, 7 saved, 2 skipped (1 duplicates, 1 dropped), 1 failed" in p.stdout
        check(f"run {r}", ok, f"status {p.returncode}, saved {saved(out)}\n{p.stdout}{p.stderr}")
        if r == 0:
            lines = p.stdout.splitlines()
            check("one line per picture", len([x for x in lines if x.startswith(
                ("saved", "dropped", "failed", "skipped"))]) == 10, p.stdout)
            check("names", f"saved  {base}/site/up.bmp  ->  up.bmp" in lines, p.stdout)
            check("duplicate", f"skipped (duplicate)  {base}/site/gallery/A.JPG" in lines, p.stdout)
            check("no progress line off a terminal", "\r" not in p.stdout, repr(p.stdout))
            with open(os.path.join(out, "cdn.jpg"), "rb") as f:
                check("content", f.read() == f"{tag}/site/cdn.jpg".encode(), "")

    # A direct picture: no page is fetched. The piece a killed run left in
    # the folder goes as the grab begins.
    out = os.path.join(tmp, "direct")
    os.makedirs(out)
    ended = subprocess.Popen(["true"])
    ended.wait()
    with open(os.path.join(out, f"~lumora{ended.pid}-0.tmp"), "wb") as f:
        f.write(b"cut off")
    p = run([base + "/site/pics/Direct.JPG", "--folder", folder_arg(out)])
    check("direct", p.returncode == 0 and saved(out) == ["Direct.JPG"] and "page" not in p.stdout,
          f"{p.returncode} {saved(out)} {p.stdout}")

    # A page that cannot be fetched.
    p = run([base + "/status/500/page.html", "--folder", folder_arg(os.path.join(tmp, "none"))])
    check("page failed", p.returncode == 1 and "page failed" in p.stdout and "0 queued" in p.stdout,
          p.stdout)

    # Settings from a file with lone CR line ends; options override it.
    page("/site/sizes.html", f'<img src="{tag}/announce/2048/2048/big.gif">'
         f'<img src="{tag}/bytes/2047/small.gif"><img src="{tag}/chunked/5000/nolen.gif">'
         f'<img src="{tag}/bytes/4000/photo.jpg">')
    into = os.path.join(tmp, "from-settings")
    settings = os.path.join(tmp, "shuxing.txt")
    with open(settings, "wb") as f:
        f.write(b".GIF\r2\r" + folder_arg(into).encode() + b"\rkept line\r")
    p = run([base + "/site/sizes.html", "--settings", folder_arg(settings)])
    check("settings file", p.returncode == 0 and saved(into) == ["big.gif"], f"{saved(into)} {p.stdout}")
    over = os.path.join(tmp, "overridden")
    p = run([base + "/site/sizes.html", "--settings", folder_arg(settings), "--types", ".JPG",
             "--min-size", "0", "--folder", folder_arg(over)])
    check("options override", p.returncode == 0 and saved(over) == ["photo.jpg"], f"{saved(over)} {p.stdout}")

    # Today's web: from lumora.ini beside the settings file, or from the
    # option; the summary names it. An unreadable lumora.ini is refused.
    web = os.path.join(tmp, "web")
    os.makedirs(web)
    web_settings = os.path.join(web, "shuxing.txt")
    with open(web_settings, "wb") as f:
        f.write(b".JPG\r\n0\r\n" + folder_arg(os.path.join(web, "pics")).encode() + b"\r\n")
    web_ini = os.path.join(web, "lumora.ini")
    for name, ini, extra, on in (("no lumora.ini", None, [], False),
                                 ("lumora.ini on", b"[Grab]\r\nTodaysWeb=1\r\n", [], True),
                                 ("lumora.ini off", b"[grab]\ntodaysweb = 0\n", [], False),
                                 ("the option over lumora.ini", b"[Grab]\nTodaysWeb=0\n",
                                  ["--todays-web"], True)):
        if ini is not None:
            with open(web_ini, "wb") as f:
                f.write(ini)
        p = run([base + "/site/pics/web.jpg", "--settings", folder_arg(web_settings)] + extra)
        summary = p.stdout.strip().splitlines()[-1] if p.stdout.strip() else ""
        check(name, p.returncode == 0 and summary.endswith(("pics\\" if prefix else "pics/")
                                                           + (" (today's web)" if on else "")),
              f"status {p.returncode}\n{p.stdout}{p.stderr}")
    p = run([base + "/site/pics/web.jpg", "--todays-web", "--folder", folder_arg(web)])
    check("--todays-web", p.returncode == 0 and "(today's web)" in p.stdout, p.stdout)
    os.remove(web_ini)
    os.makedirs(web_ini)
    p = run([base + "/site/pics/web.jpg", "--settings", folder_arg(web_settings)])
    check("unreadable lumora.ini", p.returncode == 2 and folder_arg(web_ini) in p.stderr,
          f"status {p.returncode}, stderr {p.stderr!r}")

    # A page far longer than the cut: read up to it, its picture before the
    # cut grabbed, the one after it not, and the summary says so. The body is
    # held once, so the peak stays well under the page's size.
    big = 100 << 20
    out = os.path.join(tmp, "bigpage")
    status, stdout, stderr, peak = run_measured(
        prefix + [tool, f"{base}/page/{big}/big.html", "--folder", folder_arg(out)])
    summary = stdout.strip().splitlines()[-1] if stdout.strip() else ""
    check("page cut", status == 0 and saved(out) == ["first.jpg"]
          and summary.endswith("; the page was cut at 32 MiB"), f"{status} {saved(out)}\n{stdout}{stderr}")
    check("page line", f"page  {base}/page/{big}/big.html  ({32 << 20} bytes, cut at 32 MiB)" in stdout,
          stdout)
    if cli_support.measure_memory:
        check("page memory", peak < 80, f"peak {peak} MiB for a page of 100 MiB")
        # A picture goes to disk as it arrives.
        out = os.path.join(tmp, "bigpicture")
        status, stdout, stderr, peak = run_measured(
            [tool, f"{base}/bytes/{big}/big.jpg", "--folder", out, "--quiet"])
        check("big picture", status == 0 and saved(out) == ["big.jpg"]
              and os.path.getsize(os.path.join(out, "big.jpg")) == big, f"{status} {saved(out)} {stdout}{stderr}")
        check("picture memory", peak < 48, f"peak {peak} MiB for a picture of 100 MiB")
        shutil.rmtree(out, ignore_errors=True)

    # Refusals: status 2, a message, nothing fetched.
    short = os.path.join(tmp, "short.txt")
    with open(short, "wb") as f:
        f.write(b".JPG\r\n0\r\n")
    notnum = os.path.join(tmp, "notnum.txt")
    with open(notnum, "wb") as f:
        f.write(b".JPG\nten\nx\n")
    before = len(requests())
    for bad in (["--min-size", "ten", address], ["--bogus", address], [], [address, address],
                [address, "--folder"], [""], [address, "--settings", folder_arg(short)],
                [address, "--settings", folder_arg(notnum)],
                [address, "--settings", folder_arg(os.path.join(tmp, "missing.txt"))]):
        p = run(bad)
        check(f"refuses {bad}", p.returncode == 2 and "lumora-grab:" in p.stderr and "usage:" in p.stderr,
              f"status {p.returncode}, stderr {p.stderr!r}")
    check("refusals fetch nothing", len(requests()) == before, "")
    p = run(["--help"])
    check("help", p.returncode == 0 and "lumora-pictures" in p.stdout and "--todays-web" in p.stdout,
          p.stdout)

    # On a terminal, a progress line rewritten in place (native only): the
    # counts, bytes, rate and time, gone before the summary, which starts on
    # a clean row. --quiet writes the summary alone there too.
    if not prefix:
        status, text = cli_support.run_on_terminal([tool, address, "--folder", os.path.join(tmp, "tty")])
        check("progress", "\r[9/9] saved 7, failed 1" in text and "9 queued" in text, repr(text))
        check("progress line", re.search(r"\r\[9/9\] saved 7, failed 1, 0 queued, [0-9.]+ K?B, "
                                         r"[0-9.]+ K?B/s, 0:0[0-9]", text), repr(text))
        check("lines above it", "\rsaved  " + f"{base}/site/up.bmp  ->  up.bmp\n" in text, repr(text))
        check("summary on a clean row", text.rsplit("\r", 1)[1].startswith("9 queued, 7 saved"),
              repr(text))
        status, text = cli_support.run_on_terminal(
            [tool, address, "--folder", os.path.join(tmp, "tty-quiet"), "--quiet"])
        check("quiet on a terminal", "\r" not in text and text.startswith("9 queued, 7 saved")
              and text.count("\n") == 1, repr(text))
finally:
    shutil.rmtree(tmp, ignore_errors=True)

finish(f"{runs} runs, {len(failures)} failures")
