#!/usr/bin/env python3
"""Runs a command with the loopback test server beside it.

  run_with_server.py [--root DIR] -- command args...

The server's address reaches the command as LUMORA_TEST_HTTP=127.0.0.1:<port>;
its TLS servers (see http_server.py --tls) as LUMORA_TEST_TLS="good=<port>
wronghost=<port> expired=<port> selfsigned=<port> drop=<port>" on host
localhost, and the test CA's certificate file as LUMORA_TEST_CA. The
command's exit status is this script's.
"""
import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
args = sys.argv[1:]
root = "."
if args[:1] == ["--root"]:
    root, args = args[1], args[2:]
if args[:1] == ["--"]:
    args = args[1:]

server = subprocess.Popen([sys.executable, os.path.join(here, "http_server.py"), "--root", root, "--tls"],
                          stdout=subprocess.PIPE, text=True)
try:
    line = server.stdout.readline()
    if not line.startswith("PORT "):
        sys.exit("test server did not start")
    env = dict(os.environ, LUMORA_TEST_HTTP="127.0.0.1:" + line.split()[1])
    tls = server.stdout.readline().split()
    if tls[:1] != ["TLS"]:
        sys.exit("test server did not start its TLS servers")
    env["LUMORA_TEST_TLS"] = " ".join(t for t in tls[1:] if not t.startswith("ca="))
    env["LUMORA_TEST_CA"] = next(t[3:] for t in tls[1:] if t.startswith("ca="))
    sys.exit(subprocess.call(args, env=env))
finally:
    server.terminate()
    server.wait()
