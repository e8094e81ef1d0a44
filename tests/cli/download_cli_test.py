#!/usr/bin/env python3
"""lumora-download end to end, run as a user would run it, many times over:
five workers must start and finish in every run (a worker that never starts
hangs the command), and bad options are refused with status 2.

  download_cli_test.py [--wine WINE] LUMORA_DOWNLOAD [RUNS]
"""
import os
import shutil
import subprocess
import tempfile

from cli_support import command_line, failures, finish, tool_path

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

    # --max-size: a reply that never ends fails at the cap and leaves no file;
    # the next picture is saved.
    out = os.path.join(tmp, "capped")
    p = run(["--max-size", "1", "--folder", folder_arg(out), f"{base}/endless/live.jpg",
             f"{base}/bytes/100/ok.jpg"])
    saved = sorted(os.listdir(out)) if os.path.isdir(out) else []
    if p.returncode != 1 or saved != ["ok.jpg"] or "larger than 1 MB" not in p.stdout:
        failures.append(f"--max-size: status {p.returncode}, saved {saved}\n{p.stdout}{p.stderr}")

    for bad in (["--min-size", "ten", addresses[0]], ["--bogus", addresses[0]], [],
                ["--folder"], ["--max-size", "0", addresses[0]]):
        p = run(bad)
        if p.returncode != 2 or "usage:" not in p.stderr:
            failures.append(f"{bad}: status {p.returncode}, stderr {p.stderr!r}")
finally:
    shutil.rmtree(tmp, ignore_errors=True)

finish(f"{runs} runs, {len(failures)} failures")
