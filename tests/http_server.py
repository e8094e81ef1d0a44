#!/usr/bin/env python3
"""Loopback HTTP/1.1 server for Lumora's tests, demonstration and benchmarks.

Routes (GET and HEAD alike; HEAD gets the same status and headers, no body).
Anything may follow a route's own parts, so a test can end an address with
the file name it wants (/bytes/10240/photo.jpg), and a first segment starting
with "~" is a tag that only marks the request in the log (/~t1/bytes/5/a.gif):

  /files/<path>                  a file under --root
  /bytes/<n>/...                 n bytes, Content-Length n, made as they are sent
  /page/<n>/...                  an HTML page of n bytes, Content-Length n:
                                 <img src="/bytes/16/first.jpg">, filler,
                                 then <img src="/bytes/16/last.jpg"> as its
                                 last bytes
  /announce/<len>/<n>/...        n bytes; HEAD announces Content-Length len
  /chunked/<n>/...               n bytes, chunked, no Content-Length
  /status/<code>/...             that status, a short body
  /redirect/<code>/...           that status, Location: [tag]/bytes/16/<rest>
  /to/<code>/<location>          that status, Location: <location> percent-decoded
                                 (any scheme, relative, or absent when empty)
  /hops/<k>/...                  k > 0: 302 to [tag]/hops/<k-1>/<rest>; k = 0:
                                 the answer to the rest (a modifier)
  /loop/<code>/<a|b>             that status, Location: [tag]/loop/<code>/<b|a>
  /longloc/<n>                   302, Location: [tag]/ followed by n letters
  /stall/<code>/<n>/...          that status, Content-Length 1000, n bytes, 5 s of silence
  /slow/<n>/<ms>/...             n bytes in 5 chunked pieces, <ms> apart
  /short/<len>/<n>/...           announces len, sends n < len bytes, closes
  /endless/...                   200 without a length, bytes until the client
                                 goes away (a camera's live picture)
  /drip/<ms>/...                 200 announcing 1,000,000 bytes, one every <ms>
                                 until the client goes away
  /rst/...                       reads the request, answers nothing and resets
                                 the connection
  /garbage/...                   a reply that is no HTTP ("XYZZY"), then closes
  /site/...                      a page registered for this exact path (tag
                                 included), else a "picture" whose bytes are
                                 the request target, so a saved file tells
                                 which address was fetched
  /wait/<ms>/...                 after <ms> of silence, the answer to the rest
                                 of the path (tag kept): /~t/wait/900/site/p
                                 is /~t/site/p, late; the log has the full path
  /close/...                     the answer to the rest, with "Connection:
                                 close", and the connection is closed
  /closeafter/<k>/...            the answer to the rest; from then on the
                                 connection closes after every k-th reply,
                                 without notice
  /dropafter/<k>/...             the same, but the connection waits for the
                                 next request and closes without answering it,
                                 as a kept-alive connection that times out
                                 just as a request comes
  /reset/<n>/...                 announces n bytes, sends half of them, resets
                                 the connection
  /type/<ctype>/<n>/...          n bytes with Content-Type <ctype> percent-decoded
                                 ("-": no Content-Type; "~<k>": "image/png; x="
                                 and k letters; "^<k>": "image/" and k letters);
                                 n = "html": an HTML page instead
  /ref/<address>/...             the answer to the rest when the request's Referer
                                 is <address> percent-decoded, else 403 (a
                                 picture host that wants the page it is shown on)
  /__connections?prefix=P        "<c> <d>": the number of connections that
                                 carried the requests whose target starts with
                                 P, and of those requests that were dropped
  /__page?path=P&body=B          registers body B (percent-encoded bytes) as
                                 the page at path P (not logged)
  /__log?prefix=P                the requests so far whose target starts with P

With --tls, more servers run beside the plain one, with the same routes,
over TLS on "localhost" (127.0.0.1 and ::1), with certificates made at start
by tls_certs.py: "good" (localhost, signed by the test CA), "wronghost"
(signed for another host), "expired", "selfsigned"; and "drop", which
accepts a connection, reads the client's first bytes and closes it. Their
ports and the CA's file follow on a second line:
"TLS good=<port> wronghost=<port> expired=<port> selfsigned=<port>
drop=<port> ca=<path>".

The log lists each request as its request line, its header lines, then an
empty line. With --port-file the chosen port is written there; it is always
printed as "PORT <n>" on standard output once the server listens.
"""
import argparse
import os
import shutil
import socket
import ssl
import struct
import sys
import tempfile
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOG = []  # (target, entry, connection number)
DROPPED = []  # targets of requests a connection closed on without an answer
LOG_LOCK = threading.Lock()
PAGES = {}
CONNECTIONS = [0]
MODIFIERS = ("wait", "close", "closeafter", "dropafter", "hops", "ref")


def pattern(n):
    block = bytes(i % 251 for i in range(4096))
    return (block * (n // 4096 + 1))[:n]


# Big bodies are made block by block as they are sent, never held whole.
PATTERN_BLOCK = pattern(65536)  # a whole number of the pattern's periods
FILLER_BLOCK = b"<p>Lumora filler</p>\n" * 3277
PAGE_HEAD = b'<html><body><img src="/bytes/16/first.jpg">\n'
PAGE_TAIL = b'\n<img src="/bytes/16/last.jpg">'


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Headers and body go out in separate writes: without this, a kept-alive
    # connection stalls on every reply until the client's delayed ACK.
    disable_nagle_algorithm = True
    server_version = "LumoraTest/1"
    root = "."

    def log_message(self, fmt, *args):  # quiet
        pass

    def setup(self):
        if self.server.tls:
            # The handshake runs on the connection's own thread; a client that
            # refuses the certificate ends it here.
            self.request = self.server.tls.wrap_socket(self.request, server_side=True)
        super().setup()
        with LOG_LOCK:
            CONNECTIONS[0] += 1
            self.connection_number = CONNECTIONS[0]
        self.replies = 0
        self.close_every = 0  # close after every n-th reply; 0: never
        self.drop_request = False  # then drop the next request instead of closing at once
        self.drop_next = False
        self.announce_close = False

    def handle_one_request(self):
        if not self.drop_next:
            return super().handle_one_request()
        # The request arrives, the connection closes under it unanswered.
        line = self.rfile.readline(65537)
        while True:
            header = self.rfile.readline(65537)
            if header in (b"", b"\r\n", b"\n"):
                break
        if line:
            parts = line.split()
            with LOG_LOCK:
                DROPPED.append(parts[1].decode("latin-1") if len(parts) > 1 else "")
        self.close_connection = True

    def do_GET(self):
        self.answer(head=False)

    def do_HEAD(self):
        self.answer(head=True)

    def answer(self, head):
        self.announce_close = False
        self.route(head)
        self.replies += 1
        if self.close_every and self.replies % self.close_every == 0:
            if self.drop_request:
                self.drop_next = True
            else:
                self.close_connection = True

    def end_headers(self):
        if self.announce_close:
            self.send_header("Connection", "close")
        super().end_headers()

    def record(self):
        entry = self.requestline + "\n" + "".join(
            f"{k}: {v}\n" for k, v in self.headers.items())
        with LOG_LOCK:
            LOG.append((self.path, entry, self.connection_number))

    def reply(self, code, body, head, length=None, extra=(), ctype="application/octet-stream"):
        self.send_response(code)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.send_header("Content-Type", ctype)
        for k, v in extra:
            self.send_header(k, v)
        self.end_headers()
        if not head:
            self.wfile.write(body)

    def stream(self, n, block, head, first=b"", last=b""):
        """A 200 reply of n bytes: first, then block repeated, then last."""
        self.send_response(200)
        self.send_header("Content-Length", str(n))
        self.send_header("Content-Type", "text/html" if first else "application/octet-stream")
        self.end_headers()
        if head:
            return
        self.wfile.write(first)
        left = n - len(first) - len(last)
        while left > 0:
            piece = block[:min(left, len(block))]
            self.wfile.write(piece)
            left -= len(piece)
        self.wfile.write(last)

    def chunked(self, pieces, head, delay=0.0):
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        if head:
            return
        for i, piece in enumerate(pieces):
            if i and delay:
                self.wfile.flush()
                time.sleep(delay)
            if piece:
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
        self.wfile.write(b"0\r\n\r\n")

    def route(self, head):
        path = self.path
        if path.startswith("/__log"):
            q = urllib.parse.parse_qs(urllib.parse.urlsplit(path).query)
            prefix = q.get("prefix", [""])[0]
            with LOG_LOCK:
                text = "".join(e + "\n" for p, e, _ in LOG if p.startswith(prefix))
            return self.reply(200, text.encode("latin-1"), head)
        if path.startswith("/__connections"):
            q = urllib.parse.parse_qs(urllib.parse.urlsplit(path).query)
            prefix = q.get("prefix", [""])[0]
            with LOG_LOCK:
                used = {c for p, _, c in LOG if p.startswith(prefix)}
                dropped = sum(1 for p in DROPPED if p.startswith(prefix))
            return self.reply(200, f"{len(used)} {dropped}".encode(), head)
        if path.startswith("/__page?"):
            q = urllib.parse.parse_qs(urllib.parse.urlsplit(path).query, keep_blank_values=True,
                                      encoding="latin-1")
            with LOG_LOCK:
                PAGES[q["path"][0]] = q.get("body", [""])[0].encode("latin-1")
            return self.reply(200, b"ok", head)
        self.record()
        parts = path.split("/")
        tag = ""
        if len(parts) > 1 and parts[1].startswith("~"):
            tag = "/" + parts.pop(1)  # a test's own tag, to find its requests in the log
        kind = parts[1] if len(parts) > 1 else ""
        while kind in MODIFIERS:
            take = 1 if kind == "close" else 2
            if len(parts) <= take + 1 or (take == 2 and kind != "ref" and not parts[2].isdigit()):
                break
            if kind == "ref":
                wanted = urllib.parse.unquote(parts[2], encoding="latin-1")
                if self.headers.get("Referer") != wanted:
                    return self.reply(403, b"Forbidden: no page of ours", head, ctype="text/html")
            if kind == "hops" and int(parts[2]) > 0:
                rest = "/".join(parts[3:])
                return self.reply(302, b"moved", head, extra=[
                    ("Location", f"{tag}/hops/{int(parts[2]) - 1}/{rest}")])
            if kind == "wait":
                time.sleep(int(parts[2]) / 1000.0)
            elif kind == "ref":
                pass
            elif kind == "close":
                self.announce_close = True
                self.close_connection = True
            else:
                self.close_every = max(1, int(parts[2]))
                self.drop_request = kind == "dropafter"
            parts = [""] + parts[take + 1:]
            path = tag + "/" + "/".join(parts[1:])
            kind = parts[1] if len(parts) > 1 else ""
        try:
            if kind == "files":
                rel = urllib.parse.unquote("/".join(parts[2:]).split("?")[0])
                full = os.path.realpath(os.path.join(self.root, rel))
                if not full.startswith(os.path.realpath(self.root) + os.sep) or not os.path.isfile(full):
                    return self.reply(404, b"Not Found", head)
                with open(full, "rb") as f:
                    # Pages as text/html, so that other clients (wget) parse them too.
                    html = full.lower().endswith((".html", ".htm"))
                    return self.reply(200, f.read(), head,
                                      ctype="text/html" if html else "application/octet-stream")
            if kind == "site":
                with LOG_LOCK:
                    page = PAGES.get(path)
                if page is not None:
                    return self.reply(200, page, head)
                return self.reply(200, path.encode("latin-1"), head)
            if kind == "type":
                ctype = urllib.parse.unquote(parts[2], encoding="latin-1")
                if ctype.startswith("~"):
                    ctype = "image/png; x=" + "a" * int(ctype[1:])
                elif ctype.startswith("^"):
                    ctype = "image/" + "a" * int(ctype[1:])
                body = (b"<!DOCTYPE html><html><body>Not here</body></html>" if parts[3] == "html"
                        else pattern(int(parts[3])))
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                if ctype != "-":
                    self.send_header("Content-Type", ctype)
                self.end_headers()
                if not head:
                    self.wfile.write(body)
                return
            if kind == "bytes":
                return self.stream(int(parts[2]), PATTERN_BLOCK, head)
            if kind == "page":
                n = int(parts[2])
                if n < len(PAGE_HEAD) + len(PAGE_TAIL):
                    raise ValueError
                return self.stream(n, FILLER_BLOCK, head, PAGE_HEAD, PAGE_TAIL)
            if kind == "announce":
                n = int(parts[3])
                return self.reply(200, pattern(n), head, length=int(parts[2]) if head else None)
            if kind == "chunked":
                data = pattern(int(parts[2]))
                return self.chunked([data[i:i + 1000] for i in range(0, len(data), 1000)], head)
            if kind == "status":
                return self.reply(int(parts[2]), b"status body", head)
            if kind == "redirect":
                rest = "/".join(parts[3:])
                return self.reply(int(parts[2]), b"moved", head,
                                  extra=[("Location", tag + "/bytes/16/" + rest)])
            if kind == "to":
                location = urllib.parse.unquote("/".join(parts[3:]), encoding="latin-1")
                extra = [("Location", location)] if location else []
                return self.reply(int(parts[2]), b"moved", head, extra=extra)
            if kind == "loop":
                other = "b" if parts[3] == "a" else "a"
                return self.reply(int(parts[2]), b"moved", head,
                                  extra=[("Location", f"{tag}/loop/{parts[2]}/{other}")])
            if kind == "longloc":
                return self.reply(302, b"moved", head,
                                  extra=[("Location", tag + "/" + "a" * int(parts[2]))])
            if kind == "slow":
                data, delay = pattern(int(parts[2])), int(parts[3]) / 1000.0
                step = max(1, (len(data) + 4) // 5)
                return self.chunked([data[i:i + step] for i in range(0, len(data), step)], head, delay)
            if kind == "stall":
                # a reply whose body stops after n of 1000 bytes for 5 seconds
                self.send_response(int(parts[2]))
                self.send_header("Content-Length", "1000")
                self.end_headers()
                if not head:
                    self.wfile.write(pattern(int(parts[3])))
                    self.wfile.flush()
                    time.sleep(5)
                self.close_connection = True
                return
            if kind == "reset":
                n = int(parts[2])
                self.send_response(200)
                self.send_header("Content-Length", str(n))
                self.end_headers()
                if not head:
                    self.wfile.write(pattern(n // 2))
                    self.wfile.flush()
                    time.sleep(0.05)  # the half arrives before the reset
                    self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                               struct.pack("ii", 1, 0))
                    self.connection.close()
                self.close_connection = True
                return
            if kind == "endless":
                self.send_response(200)
                self.send_header("Connection", "close")
                self.end_headers()
                self.close_connection = True
                if not head:
                    try:
                        while True:
                            self.wfile.write(PATTERN_BLOCK)
                    except OSError:
                        pass
                return
            if kind == "drip":
                delay = int(parts[2]) / 1000.0
                self.send_response(200)
                self.send_header("Content-Length", "1000000")
                self.end_headers()
                self.close_connection = True
                if not head:
                    try:
                        for _ in range(1000000):
                            self.wfile.write(b"x")
                            self.wfile.flush()
                            time.sleep(delay)
                    except OSError:
                        pass
                return
            if kind == "rst":
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                           struct.pack("ii", 1, 0))
                self.connection.close()
                self.close_connection = True
                return
            if kind == "garbage":
                self.wfile.write(b"XYZZY\r\n\r\n")
                self.wfile.flush()
                self.close_connection = True
                return
            if kind == "short":
                self.send_response(200)
                self.send_header("Content-Length", parts[2])
                self.end_headers()
                if not head:
                    self.wfile.write(pattern(int(parts[3])))
                self.close_connection = True
                return
        except (ValueError, IndexError):
            return self.reply(400, b"Bad Request", head)
        return self.reply(404, b"Not Found", head)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 256
    tls = None  # an ssl.SSLContext for the TLS servers

    def handle_error(self, request, client_address):
        # Clients that drop a connection (an error reply left unread) are
        # normal here, and so are clients that refuse a certificate.
        if isinstance(sys.exc_info()[1], (ConnectionResetError, BrokenPipeError, ssl.SSLError,
                                          ConnectionAbortedError, OSError)):
            return
        super().handle_error(request, client_address)


class Server6(Server):
    address_family = socket.AF_INET6


def serve_localhost(port, tls, factory=None):
    """Servers on 127.0.0.1 and, where there is one, ::1, on one port (0: any)."""
    made = []
    for attempt in range(20):
        try:
            first = (factory or Server)(("127.0.0.1", port), Handler)
            first.tls = tls
            made = [first]
            try:
                second = (factory or Server6)(("::1", first.server_address[1]), Handler)
                second.tls = tls
                made.append(second)
            except OSError as e:
                if e.errno == 98 and port == 0:  # ::1's port is taken: another pair
                    first.server_close()
                    continue
            break
        except OSError:
            if port:
                raise
    for s in made:
        threading.Thread(target=s.serve_forever, daemon=True).start()
    return made[0].server_address[1]


def drop_handshakes():
    """Accepts connections on localhost, reads the first bytes, closes them."""
    def serve(sock):
        while True:
            conn, _ = sock.accept()
            def drop(c):
                try:
                    c.settimeout(5)
                    c.recv(512)
                finally:
                    c.close()
            threading.Thread(target=drop, args=(conn,), daemon=True).start()

    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.bind(("127.0.0.1", 0))
    sock.listen(64)
    port = sock.getsockname()[1]
    try:
        sock6 = socket.socket(socket.AF_INET6, socket.SOCK_STREAM)
        sock6.bind(("::1", port))
        sock6.listen(64)
        threading.Thread(target=serve, args=(sock6,), daemon=True).start()
    except OSError:
        pass
    threading.Thread(target=serve, args=(sock,), daemon=True).start()
    return port


def start_tls():
    """The TLS servers; returns their "TLS ..." line."""
    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, here)
    import tls_certs
    directory = tempfile.mkdtemp(prefix="lumora-tls-")
    import atexit
    atexit.register(shutil.rmtree, directory, True)
    paths = tls_certs.make(directory)
    ports = {}
    for kind in tls_certs.KINDS:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(*paths[kind])
        ports[kind] = serve_localhost(0, context)
    ports["drop"] = drop_handshakes()
    return "TLS " + " ".join(f"{k}={v}" for k, v in ports.items()) + " ca=" + paths["ca"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", default=".")
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--port-file")
    ap.add_argument("--tls", action="store_true")
    args = ap.parse_args()
    Handler.root = args.root
    server = Server(("127.0.0.1", args.port), Handler)
    port = server.server_address[1]
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as f:
            f.write(str(port))
        os.replace(args.port_file + ".tmp", args.port_file)
    print(f"PORT {port}", flush=True)
    if args.tls:
        print(start_tls(), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
