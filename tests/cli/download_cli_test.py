#!/usr/bin/env python3
"""lumora-download end to end, run as a user would run it, many times over:
five workers must start and finish in every run (a worker that never starts
hangs the command), and bad options are refused with status 2. Piped, the
output is one line per picture and the summary; on a terminal (natively) a
status line is kept below the lines and is gone before the summary.

  download_cli_test.py [--wine WINE] LUMORA_DOWNLOAD [RUNS]
"""
import os
import re
import shutil
import subprocess
import tempfile

import cli_support
from cli_support import check, command_line, failures, finish, tool_path

prefix, tool, runs = command_line(default_runs=25)
base = "http://" + os.environ["LUMORA_TEST_HTTP"]


def folder_arg(path):
    return tool_path(prefix, path)


def run(extra, timeout=30):
    return subprocess.run(prefix + [tool] + extra, capture_output=True, text=True,
                          timeout=timeout, errors="replace")


addresses = [f"{base}/bytes/{1000 + i}/p{i}.jpg" for i in range(8)]
addresses += [f"{base}/bytes/500/same.gif", f"{base}/bytes/501/same.gif",
              f"{base}/status/404/gone.jpg", f"{base}/bytes/10/notes.txt"]
expected = sorted([f"p{i}.jpg" for i in range(8)] + ["same.gif", "same(1).gif"])

tmp = tempfile.mkdtemp(prefix="lumora-cli-")
try:
    for r in range(runs):
        out = os.path.join(tmp, f"run{r}")
        try:
            p = run(["--folder", folder_arg(out)] + addresses)
        except subprocess.TimeoutExpired:
            failures.append(f"run {r}: no end within 30 s")
            continue
        saved = sorted(os.listdir(out)) if os.path.isdir(out) else []
        if p.returncode != 1 or saved != expected:
            failures.append(f"run {r}: status {p.returncode}, saved {saved}\n{p.stdout}{p.stderr}")
        elif "12 queued, 10 saved, 1 dropped, 1 failed" not in p.stdout:
            failures.append(f"run {r}: summary was {p.stdout!r}")
        if r == 0:
            lines = p.stdout.splitlines()
            check("piped: a line per picture, then the summary", "\r" not in p.stdout
                  and len(lines) == 13 and lines[-1].startswith("12 queued")
                  and f"saved  {base}/bytes/1000/p0.jpg  ->  p0.jpg" in lines
                  and f"dropped (type off)  {base}/bytes/10/notes.txt" in lines, repr(p.stdout))

    if not prefix:
        status, text = cli_support.run_on_terminal(
            [tool, "--folder", os.path.join(tmp, "tty")] + addresses)
        check("terminal: the status line", re.search(
            r"\r\[12/12\] saved 10, failed 1, 0 queued, [0-9.]+ K?B, [0-9.]+ K?B/s, 0:0[0-9]", text),
            repr(text))
        check("terminal: the picture lines", f"saved  {base}/bytes/1000/p0.jpg  ->  p0.jpg\n" in text,
              repr(text))
        check("terminal: the summary on a clean row",
              text.rsplit("\r", 1)[1].startswith("12 queued, 10 saved"), repr(text))

    # Settings from a file, today's web from lumora.ini beside it or from the
    # option; the summary names it.
    settings = os.path.join(tmp, "shuxing.txt")
    with open(settings, "wb") as f:
        f.write(b".GIF\r\n0\r\n" + folder_arg(os.path.join(tmp, "set")).encode() + b"\r\n")
    with open(os.path.join(tmp, "lumora.ini"), "wb") as f:
        f.write(b"[Grab]\r\nTodaysWeb=1\r\n")
    p = run(["--settings", folder_arg(settings), addresses[0], addresses[8]])
    saved = sorted(os.listdir(os.path.join(tmp, "set"))) if os.path.isdir(os.path.join(tmp, "set")) else []
    if p.returncode != 0 or saved != ["same.gif"] or "(today's web)" not in p.stdout:
        failures.append(f"--settings: status {p.returncode}, saved {saved}\n{p.stdout}{p.stderr}")
    p = run(["--todays-web", "--folder", folder_arg(os.path.join(tmp, "web")), addresses[0]])
    if p.returncode != 0 or not p.stdout.rstrip().endswith(" (today's web)"):
        failures.append(f"--todays-web: status {p.returncode}\n{p.stdout}{p.stderr}")
    p = run(["--help"])
    if p.returncode != 0 or "--todays-web" not in p.stdout:
        failures.append(f"--help: status {p.returncode}\n{p.stdout}")

    # --max-size: a reply that never ends fails at the cap and leaves no file;
    # the next picture is saved.
    out = os.path.join(tmp, "capped")
    p = run(["--max-size", "1", "--folder", folder_arg(out), f"{base}/endless/live.jpg",
             f"{base}/bytes/100/ok.jpg"])
    saved = sorted(os.listdir(out)) if os.path.isdir(out) else []
    if p.returncode != 1 or saved != ["ok.jpg"] or "larger than 1 MB" not in p.stdout:
        failures.append(f"--max-size: status {p.returncode}, saved {saved}\n{p.stdout}{p.stderr}")

    for bad in (["--min-size", "ten", addresses[0]], ["--bogus", addresses[0]], [],
                ["--folder"], ["--max-size", "0", addresses[0]],
                ["--settings", folder_arg(os.path.join(tmp, "none.txt")), addresses[0]]):
        p = run(bad)
        if p.returncode != 2 or "usage:" not in p.stderr:
            failures.append(f"{bad}: status {p.returncode}, stderr {p.stderr!r}")
finally:
    shutil.rmtree(tmp, ignore_errors=True)

finish(f"{runs} runs, {len(failures)} failures")
