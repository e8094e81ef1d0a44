#!/usr/bin/env python3
"""lumora-grab --html-file against the loopback server: a piece of HTML, as
a selection dropped from a browser, saves exactly its pictures, chosen by
today's web's rules and made absolute against --base or the block's
SourceURL; the page it came from is never fetched. Without an address to
resolve against, only absolute picture addresses count. An "HTML Format"
block whose header lies is refused before anything is fetched.

  selection_cli_test.py [--wine WINE] [--measure-memory] LUMORA_GRAB
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import server_log  # noqa: E402
from cli_support import check, command_line, finish, tool_path

prefix, tool, _ = command_line()
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tag = f"/~selcli{os.getpid()}"
base = server + tag
page = base + "/site/article/page.html"

# Relative, root-relative and absolute pictures; a srcset whose larger
# picture wins; a lazy picture; a link that is not a picture; a duplicate.
fragment = (f'<p>Three pictures</p><img src="one.jpg"><img src="{tag}/site/two.gif">'
            f'<img src="small.jpg" srcset="small.jpg 200w, large.jpg 1200w">'
            f'<img src="blank.gif" data-src="lazy.jpg"><a href="other.html">more</a>'
            f'<img src="{base}/site/article/one.jpg">')
expected = ["large.jpg", "lazy.jpg", "one.jpg", "two.gif"]


def html_format(frag, source):
    before, after = "<html><body><!--StartFragment-->", "<!--EndFragment--></body></html>"

    def header(sh, eh, sf, ef):
        return (f"Version:0.9\r\nStartHTML:{sh:010d}\r\nEndHTML:{eh:010d}\r\n"
                f"StartFragment:{sf:010d}\r\nEndFragment:{ef:010d}\r\nSourceURL:{source}\r\n")
    h = len(header(0, 0, 0, 0))
    sf = h + len(before)
    ef = sf + len(frag)
    return header(h, ef + len(after), sf, ef) + before + frag + after


def run(name, text, extra):
    path = os.path.join(tmp, name + ".html")
    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write(text)
    out = os.path.join(tmp, name)
    p = subprocess.run(prefix + [tool, "--html-file", tool_path(prefix, path), "--folder",
                                 tool_path(prefix, out)] + extra,
                       capture_output=True, text=True, timeout=60, errors="replace")
    return p, sorted(os.listdir(out)) if os.path.isdir(out) else []


tmp = tempfile.mkdtemp(prefix="lumora-selection-")
try:
    p, got = run("plain", fragment, ["--base", page])
    check("plain HTML with --base", p.returncode == 0 and got == expected,
          f"{p.returncode} {got}\n{p.stdout}{p.stderr}")
    with open(os.path.join(tmp, "plain", "large.jpg"), "rb") as f:
        check("srcset's larger picture", f.read() == f"{tag}/site/article/large.jpg".encode(), "")

    p, got = run("block", html_format(fragment, page), [])
    check("HTML Format block with its SourceURL", p.returncode == 0 and got == expected,
          f"{p.returncode} {got}\n{p.stdout}{p.stderr}")

    # No address to resolve against: the absolute picture alone.
    p, got = run("nobase", html_format(fragment, ""), [])
    check("no SourceURL", p.returncode == 0 and got == ["one.jpg"],
          f"{p.returncode} {got}\n{p.stdout}{p.stderr}")

    lying = html_format(fragment, page).replace("EndFragment:0000", "EndFragment:9999", 1)
    p, got = run("lying", lying, [])
    check("lying header refused", p.returncode == 2 and got == [] and "header" in p.stderr,
          f"{p.returncode} {got} {p.stderr}")

    lines = server_log.request_lines(server, tag)
    check("the page itself is never fetched", not any("page.html" in x for x in lines), lines)
    check("every picture once per grab", len(lines) == 2 * len(expected) + 1, lines)
finally:
    shutil.rmtree(tmp, ignore_errors=True)
finish("lumora-grab --html-file: done")
