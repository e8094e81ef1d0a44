#!/usr/bin/env python3
"""lumora-parse end to end, run as a user would run it: the summary's keys
and order, byte-exact strings (every byte value but the line breaks),
events in page order with and without OnParsing, standard input, and a
clear refusal with status 2 for missing or unreadable files and bad options.

  parse_cli_test.py [--wine WINE] LUMORA_PARSE
"""
import json
import os
import shutil
import subprocess
import tempfile

from cli_support import check, command_line, failures, finish, tool_path

prefix, tool, _ = command_line()

KEYS = ["Title", "Keyword", "Description", "HTML", "Image", "Media", "Java", "ActiveX", "ASP",
        "PHP", "PERL", "Hyperlinks", "Images", "EMails", "HTTPlinks", "FTPlinks", "Locallinks",
        "FramePages"]


def path_arg(path):
    return tool_path(prefix, path)


def run(extra, stdin=b""):
    return subprocess.run(prefix + [tool] + extra, input=stdin, capture_output=True, timeout=60)



tmp = tempfile.mkdtemp(prefix="lumora-parse-")
try:
    # Every byte value except those that end lines, and "<" ">".
    odd = bytes(b for b in range(0, 256) if b not in b"\r\n<>")
    page = (b"<html><head><title>" + odd + b"</title>\r\n"
            b"<meta name=keyword content=\"k\xe9y words\">\n"
            b"<meta name=description content=D></head>\r"
            b"<body>Hello<a href=page.html>one</a><a href=http://s/p.jpg>two</a>\n"
            b"<a href=mailto:me@x.org>m</a><a href=ftp://f/a.zip>f</a><a href=https://s/x>h</a>\n"
            b"<img src=\"a b.gif\"><IMG SRC=\xe4.png><img src=a b.gif><frame src=f.htm>\n"
            b"<a href=a.php3><a href=c.mp3><a href=j.js><a href=x.asp><a href=p.pl><a href=z.cab>")
    with open(os.path.join(tmp, "page.html"), "wb") as f:
        f.write(page)

    p = run([path_arg(os.path.join(tmp, "page.html"))])
    check("summary status", p.returncode == 0, p.stderr)
    s = json.loads(p.stdout.decode("utf-8"))
    check("summary keys", list(s) == KEYS, list(s))
    for k in KEYS[3:11]:
        check(f"{k} pair", list(s[k]) == ["Local", "Remote"], s[k])
    check("title bytes", s["Title"].encode("latin-1") == odd, repr(s["Title"][:40]))
    expected = {
        "Keyword": "k\xe9y words", "Description": "D",
        "Hyperlinks": ["page.html", "http://s/p.jpg", "mailto:me@x.org", "ftp://f/a.zip",
                       "https://s/x", "a.php3", "c.mp3", "j.js", "x.asp", "p.pl", "z.cab"],
        "Images": ["a b.gif", "\xe4.png", "a"], "EMails": ["me@x.org"],
        "HTTPlinks": ["http://s/p.jpg"], "FTPlinks": ["ftp://f/a.zip"],
        "Locallinks": ["page.html", "a.php3", "c.mp3", "j.js", "x.asp", "p.pl", "z.cab"],
        "FramePages": ["f.htm"],
        "HTML": {"Local": ["page.html"], "Remote": []},
        "Image": {"Local": [], "Remote": ["http://s/p.jpg"]},
        "PHP": {"Local": ["a.php3"], "Remote": []}, "Media": {"Local": ["c.mp3"], "Remote": []},
        "Java": {"Local": ["j.js"], "Remote": []}, "ASP": {"Local": ["x.asp"], "Remote": []},
        "PERL": {"Local": ["p.pl"], "Remote": []}, "ActiveX": {"Local": ["z.cab"], "Remote": []},
    }
    for k, v in expected.items():
        check(k, s[k] == v, f"{s[k]!r} != {v!r}")

    small = b"a<b>\r\n\r\n<!-- c --><a href=news://n>x"
    p = run(["--events", "-"], small)
    events = [json.loads(line) for line in p.stdout.decode("utf-8").splitlines()]
    check("events", p.returncode == 0 and events == [
        {"event": "text", "text": "a"}, {"event": "tag", "text": "b"},
        {"event": "comment", "text": "c"}, {"event": "tag", "text": "a href=news://n"},
        {"event": "hyperlink", "text": "news://n"}], events)

    p = run(["--events", "--parsing", "-"], small)
    events = [json.loads(line) for line in p.stdout.decode("utf-8").splitlines()]
    parsing = [(e["lines"], e["total"]) for e in events if e["event"] == "parsing"]
    check("parsing", parsing == [(1, 3)] * 4 + [(3, 3)] * 28, parsing)
    check("parsing order", [e["event"] for e in events[:6]] ==
          ["parsing", "parsing", "text", "parsing", "parsing", "tag"], events[:6])

    p = run(["-"], b"<img src=x.gif>\0<img src=after.gif>")
    check("stdin and NUL", json.loads(p.stdout)["Images"] == ["x.gif", "after.gif"], p.stdout[:200])

    # --queue: what a grab of the address would queue for this page body.
    body = (b"<img src=\"../up.jpg\"><img src='./q.gif'><img src=//cdn/c.bmp><img src=/r.tif>"
            b"<img src=\"\"><img src=\xe9.jpg><IMG SRC=\"../UP.JPG\"><img src=\"d/x.jpg>\">")
    wrapped = "http://a/go?u=http://h:8080/dir/page.html"
    for address, stdin, want in (
            (wrapped, body, ["http://h:8080/up.jpg", "http://h:8080/dir/q.gif", "http://cdn/c.bmp",
                             "http://h:8080/r.tif", "http://h:8080/dir/\xe9.jpg",
                             "http://h:8080/dir/d/x.jpg"]),
            ("http://h/pic.JPG", body, []),
            ("http://images.google.com/i?q=x", b"<img src=a.jpg>imgurl=http://x/1.jpg&imgurl=tail",
             ["http://x/1.jpg", ""]),
            ("http://Google.com/", b"<img src=a.jpg>imgurl=http://x/1.jpg&", ["http://Google.com/a.jpg"])):
        p = run(["--queue", address, "-"], stdin)
        got = json.loads(p.stdout.decode("utf-8")) if p.returncode == 0 else p.stderr
        check(f"queue {address}", got == want, f"{got!r} != {want!r}")

    for bad, needle in ((["--bogus", "-"], b"usage:"), (["--queue"], b"usage:"),
                        (["--queue", "http://h/", "--events", "-"], b"usage:"), ([], b"usage:"), (["--parsing", "-"], b"usage:"),
                        ([path_arg(os.path.join(tmp, "missing.html"))], b"missing.html"),
                        ([path_arg(tmp)], b"lumora-parse:")):
        p = run(bad)
        check(f"refuses {bad}", p.returncode == 2 and needle in p.stderr and not p.stdout,
              f"status {p.returncode}, stderr {p.stderr!r}, stdout {p.stdout[:80]!r}")
finally:
    shutil.rmtree(tmp, ignore_errors=True)

finish(f"{len(failures)} failures")
