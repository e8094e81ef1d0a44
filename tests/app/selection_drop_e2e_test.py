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
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import server_log  # noqa: E402
from e2e_support import (check, finish, grab_once, parse_command_line,  # noqa: E402
                         set_up_program, skip_unless_reads_ini, windows_path)

wine, (lumora_exe, drag_source_exe), reads_ini = parse_command_line(__doc__, 2)
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tag = f"/~seldrop{os.getpid()}"
base = server + tag
page = base + "/site/article/page.html"


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


skip_unless_reads_ini(reads_ini)

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
        set_up_program(program_dir, lumora_exe, pics, todays_web=on)
        before = len(server_log.request_lines(server, tag))
        saved = grab_once(wine, drag_source_exe, program_dir, pics,
                          "selection:" + windows_path(block), log, wanted if on else [],
                          20 if on else 5)
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

finish(tmp)
