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
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import server_log  # noqa: E402
from e2e_support import (check, finish, grab_once, parse_command_line,  # noqa: E402
                         set_up_program, skip_unless_reads_ini, windows_path)

wine, (lumora_exe, drag_source_exe, trust_ca_exe), reads_ini = parse_command_line(__doc__, 3)
server = "http://" + os.environ["LUMORA_TEST_HTTP"]
tls = dict(item.split("=") for item in os.environ["LUMORA_TEST_TLS"].split())
tag = f"/~httpsdrop{os.getpid()}"
secure = f"https://localhost:{tls['good']}{tag}"

skip_unless_reads_ini(reads_ini)

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
        set_up_program(program_dir, lumora_exe, pics, todays_web=on)
        before = len(server_log.request_lines(server, tag))
        wanted = ["one.jpg", "two.gif"] if on else []
        saved = grab_once(wine, drag_source_exe, program_dir, pics, page, log, wanted,
                          20 if on else 5)
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

finish(tmp)
