#!/usr/bin/env python3
"""lumora-grab and lumora-download with today's web, end to end against the
loopback servers: --todays-web grabs an https:// page reached through a
redirect and saves its pictures; without it the same drop requests nothing;
a certificate that fails is named in the picture's or page's line; --ca-file
is refused where the system's trust store decides (Windows). A page of
today's markup (srcset, lazy data-src over a 1x1 GIF, a <noscript> twin,
<picture> with WebP and JPEG sources, query strings and fragments, pictures
without an ending, a host that wants the page as Referer, an error page in a
picture's place) saves exactly the files a person sees, by their names.

  todays_web_cli_test.py [--wine WINE] LUMORA_GRAB LUMORA_DOWNLOAD [LUMORA_TRUST_CA]

Natively the test CA reaches the tools through --ca-file; under Wine,
LUMORA_TRUST_CA adds it to the Root store of the test prefix first.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import server_log  # noqa: E402
from cli_support import check, finish, tool_path  # noqa: E402

args = sys.argv[1:]
prefix = []
if args[:1] == ["--wine"]:
    prefix, args = [args[1]], args[2:]
grab, download = args[0], args[1]
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tls = dict(item.split("=") for item in os.environ["LUMORA_TEST_TLS"].split())
ca = os.environ["LUMORA_TEST_CA"]
tag = f"/~twcli{os.getpid()}"
secure = f"https://localhost:{tls['good']}"

if prefix:
    trusted = subprocess.run(prefix + [args[2], tool_path(prefix, ca)], capture_output=True,
                             text=True, timeout=120)
    check("test CA trusted in the prefix", trusted.returncode == 0, trusted.stderr)
    ca_args = []
else:
    ca_args = ["--ca-file", ca]


def run(tool, extra):
    return subprocess.run(prefix + [tool] + extra, capture_output=True, text=True, timeout=120,
                          errors="replace")


def saved(folder):
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


work = tempfile.mkdtemp(prefix="lumora-twcli-")
try:
    server_log.register_page(server, tag + "/site/new/index.html",
                             '<img src="a.jpg"><img src="/x/../' + tag[1:] + '/site/b.gif">')
    moved = server + tag + "/to/301/" + urllib.parse.quote(secure + tag + "/site/new/index.html",
                                                           safe="")

    # On: the page moved to https://, both pictures saved, exit 0.
    on = os.path.join(work, "on")
    r = run(grab, [moved, "--todays-web", "--folder", tool_path(prefix, on)] + ca_args)
    check("on: exit 0", r.returncode == 0, r.stdout + r.stderr)
    check("on: pictures saved", saved(on) == ["a.jpg", "b.gif"], str(saved(on)) + r.stdout)

    # Off: the same drop fails at the redirect; the https:// page is never asked for.
    off = os.path.join(work, "off")
    before = len(server_log.request_lines(server, tag + "/site"))
    r = run(grab, [moved, "--folder", tool_path(prefix, off)] + ca_args)
    check("off: exit 1", r.returncode == 1, r.stdout + r.stderr)
    check("off: nothing saved", saved(off) == [], str(saved(off)))
    check("off: the page not requested",
          len(server_log.request_lines(server, tag + "/site")) == before)

    # A self-signed server: the page line names the certificate.
    bad = f"https://localhost:{tls['selfsigned']}{tag}/site/p.html"
    r = run(grab, [bad, "--todays-web", "--folder", tool_path(prefix, off)] + ca_args)
    check("self-signed: exit 1", r.returncode == 1, f"exit {r.returncode}: {r.stdout}{r.stderr}")
    check("self-signed: reason printed",
          "certificate not trusted for host localhost" in r.stdout, r.stdout)

    # A gallery: each thumbnail stands for the picture its link or its
    # full-size attribute names, two thumbnails of one picture save it once,
    # a link to a page keeps its thumbnail, and a picture after </a> is its
    # own. No thumbnail that stands for another picture is fetched.
    server_log.register_page(
        server, tag + "/site/gal/index.html",
        '<a href="photos/big-1.jpg" data-lightbox="g"><img src="thumbs/1.jpg"></a>\n'
        '<a href="photos/big-2.jpg"><img src="thumbs/2.jpg"></a>'
        '<a href="/' + tag[1:] + '/site/gal/photos/big-2.jpg"><img src="thumbs/2b.jpg"></a>\n'
        '<a href="post.html"><img src="thumbs/t3.jpg"></a>\n'
        '<img src="thumbs/4.jpg" data-orig-file="photos/orig.jpg"><img src="logo.gif">')
    gal = os.path.join(work, "gal")
    r = run(grab, [server + tag + "/site/gal/index.html", "--todays-web", "--folder",
                   tool_path(prefix, gal)])
    check("gallery: exit 0", r.returncode == 0, r.stdout + r.stderr)
    check("gallery: the full-size pictures saved",
          saved(gal) == ["big-1.jpg", "big-2.jpg", "logo.gif", "orig.jpg", "t3.jpg"],
          str(saved(gal)) + r.stdout)
    fetched = server_log.request_lines(server, tag + "/site/gal/")
    check("gallery: no replaced thumbnail fetched, no picture twice",
          sorted(line.split()[1].rsplit("/", 1)[1] for line in fetched if "GET" in line) ==
          ["big-1.jpg", "big-2.jpg", "index.html", "logo.gif", "orig.jpg", "t3.jpg"],
          str(fetched))

    # lumora-download: an https:// picture and an expired one, each with its line.
    dl = os.path.join(work, "dl")
    expired = f"https://localhost:{tls['expired']}{tag}/bytes/10/e.jpg"
    r = run(download, ["--todays-web", "--folder", tool_path(prefix, dl), secure + tag +
                       "/bytes/5000/d.jpg", expired] + ca_args)
    check("download: one saved, one failed", saved(dl) == ["d.jpg"] and r.returncode == 1,
          r.stdout + r.stderr)
    check("download: expired named",
          "failed  " + expired + "  (certificate not trusted for host localhost" in r.stdout,
          r.stdout)

    # Today's pictures, on a page reached through a redirect, so that the
    # Referer must be its final address, not the dropped one.
    final = server + tag + "/site/today/index.html"
    guard = tag + "/ref/" + urllib.parse.quote(final, safe="")
    page = f"""<html><body>
<img src="{tag}/bytes/16/plain.jpg">
<img src="{tag}/bytes/43/pixel.gif" data-src="{tag}/bytes/300/lazy.jpg">
<img src="{tag}/bytes/10/small.jpg" sizes="50vw"
     srcset="{tag}/bytes/10/s-400.jpg 400w,
             {tag}/bytes/10/s-800.jpg 800w">
<img src="data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///ywAAAAAAQABAAACAUQAOw=="
     data-src="{tag}/bytes/20/twin.jpg" class="lazyload">
<noscript><img src="{tag}/bytes/20/twin.jpg"></noscript>
<picture>
  <source type="image/webp" srcset="{tag}/bytes/30/hero.webp 1200w">
  <source type="image/jpeg" srcset="{tag}/bytes/30/hero.jpg 800w">
  <img src="{tag}/bytes/30/hero-small.jpg" alt="">
</picture>
<img src="{tag}/bytes/40/q.jpg?w=800&amp;h=600">
<img src="{tag}/bytes/40/frag.png#top">
<img src="{tag}/type/image%2Fwebp/50/photo/123">
<img src="{tag}/type/image%2Fjpeg/50/image?w=800">
<img src="{tag}/type/image%2Fpng/50/?id=7">
<img src="{guard}/bytes/60/guarded.jpg">
<img src="{tag}/type/text%2Fhtml/50/err.jpg">
<img src="{tag}/type/image%2Fpng/html/fake.png">
</body></html>"""
    server_log.register_page(server, tag + "/site/today/index.html", page)
    today = os.path.join(work, "today")
    r = run(grab, [server + tag + "/to/302/" + urllib.parse.quote(final, safe=""), "--todays-web",
                   "--types", ".JPG.BMP.GIF.TIF.PNG.WEBP.AVIF", "--folder", tool_path(prefix, today)])
    check("today: the pictures a person sees, by their names", saved(today) == sorted([
        "plain.jpg", "lazy.jpg", "s-800.jpg", "twin.jpg", "hero.webp", "q.jpg", "frag.png",
        "123.webp", "image.jpg", "picture.png", "guarded.jpg"]), str(saved(today)) + r.stdout)
    check("today: the error pages dropped as no pictures",
          r.stdout.count("dropped (not a picture)") == 2, r.stdout)
    check("today: exit 0, nothing failed", r.returncode == 0, r.stdout + r.stderr)
    asked = server_log.request_lines(server, tag + "/bytes/")
    check("today: placeholders and smaller candidates never fetched",
          not any(n in line for line in asked for n in ("pixel.gif", "small.jpg", "s-400.jpg",
                                                         "hero.jpg", "hero-small.jpg")), str(asked))
    # The same guarded picture dropped on its own names no page: refused.
    alone = os.path.join(work, "alone")
    r = run(download, ["--todays-web", "--folder", tool_path(prefix, alone),
                       server + guard + "/bytes/60/guarded.jpg"])
    check("today: a direct picture sends no Referer", saved(alone) == [] and "403" in r.stdout,
          r.stdout + r.stderr)

    if prefix:
        r = run(grab, [secure + "/a.jpg", "--ca-file", tool_path(prefix, ca)])
        check("windows: --ca-file refused", r.returncode == 2 and "--ca-file" in r.stderr,
              r.stderr)
finally:
    shutil.rmtree(work, ignore_errors=True)
finish("today's web on the command line")
