#!/usr/bin/env python3
"""Loopback stand-in for the vendor download server.

Serves a folder tree over plain HTTP/1.1 on 127.0.0.1 and can be told to misbehave for chosen paths, so that
tests and the demo can reach every answer the installer has to cope with.

Usage:
    vendor_server.py --root DIR [--port N] [--port-file FILE] [--log FILE]
                     [--faults FILE.json] [--fault PATH=RULE ...]
                     [--no-ranges] [--bytes-log FILE] [--tls-cert FILE --tls-key FILE]

  --root DIR        the tree to serve; "/a/b.exe" is DIR/a/b.exe
  --port N          port to listen on; 0 (the default) picks a free one
  --port-file FILE  the port actually used is written there (atomically) once the server listens
  --log FILE        every request is appended as one line of three tab-separated fields: the request line
                    exactly as received, the User-Agent header, and the scheme of the Authorization header
                    (e.g. "Basic"); "-" stands for an absent header
  --faults FILE     JSON object {path: rule}; read again on every request, so a test may rewrite it while
                    the server runs (a missing or unreadable file means no faults)
  --fault PATH=RULE a fault on the command line (may repeat); the fault file wins for the same path
  --no-ranges       answer every GET with the whole file (200), as a server without range support does
  --bytes-log FILE  after every file answer, one line of three tab-separated fields: the decoded path, the
                    status, and the body bytes actually sent (what a resumed download saves shows here)
  --tls-cert FILE   serve HTTPS with this certificate chain (PEM) and --tls-key's private key

A request path may carry its blanks raw ("GET /python 26/x.msi HTTP/1.1") or escaped ("%20"): both reach the
same file, and faults are looked up by the decoded path without the query. A fault key may also be a
shell-style pattern ("/orvanta/files/*.msi"); exact keys are tried first.

Rules (JSON object / command-line form):
  {"status": 404}                                   status:404
  {"status": 302, "location": "/elsewhere"}         status:302:/elsewhere    (also 301, 303, 307, 308)
  {"status": 401}                                   status:401   (WWW-Authenticate: Basic realm="vendor")
  {"status": 401, "credentials": "user:pass"}       (the file is served to a request carrying these)
  {"empty": true}                                   empty        200 with Content-Length: 0 and no body
  {"no_length": true}                               nolength     body without Content-Length, then close
  {"rate": 20000}                                   rate:20000   body at about that many bytes per second
  {"cut": 1000}                                     cut:1000     full Content-Length, N bytes, then close
  {"stall": 1000}                                   stall:1000   full Content-Length, N bytes, then nothing
                                                                 more while the client stays connected
                                                                 (at most "hold" seconds, default 120), then
                                                                 close
  {"no_ranges": true}                               noranges     the whole file (200) whatever Range says
Rules combine where they make sense ({"rate": 50000, "cut": 100000}); "body" (text) replaces the body of a
status answer, "headers" (object) adds response headers.

Files carry a strong ETag (from size and modification time) and Last-Modified, and a GET with
"Range: bytes=N-" (or "N-M") is answered 206 with that part (Content-Range), or 416 when N lies past the end.
"If-Range" with anything but the current ETag or Last-Modified date gets the whole file (200) instead. A cut
or stall rule counts the bytes of the part being sent.

The server answers GET and HEAD, runs one thread per connection, keeps connections alive as HTTP/1.1 does,
and stops cleanly on SIGTERM or SIGINT.
"""

import argparse
import base64
import email.utils
import fnmatch
import http.server
import json
import os
import posixpath
import signal
import socket
import ssl
import sys
import threading
import time
import urllib.parse

STATUS_BODY = "<html><body><h1>%d %s</h1></body></html>\n"
COPY_BLOCK = 256 * 1024


def parse_rule(text):
    """Command-line rule text -> rule dictionary."""
    parts = text.split(":", 2)
    kind = parts[0].strip().lower()
    if kind == "status":
        rule = {"status": int(parts[1])}
        if len(parts) > 2 and parts[2]:
            rule["location"] = parts[2]
        return rule
    if kind == "empty":
        return {"empty": True}
    if kind == "nolength":
        return {"no_length": True}
    if kind == "rate":
        return {"rate": int(parts[1])}
    if kind == "cut":
        return {"cut": int(parts[1])}
    if kind == "stall":
        return {"stall": int(parts[1])}
    if kind == "noranges":
        return {"no_ranges": True}
    raise ValueError("unknown fault rule: %s" % text)


class Config:
    def __init__(self, root, log_path, faults_path, cli_faults, ranges=True, bytes_log_path=None):
        self.root = os.path.realpath(root)
        self.ranges = ranges
        self.bytes_log_path = bytes_log_path
        self.log_path = log_path
        self.faults_path = faults_path
        self.cli_faults = cli_faults
        self.log_lock = threading.Lock()

    def faults(self):
        rules = dict(self.cli_faults)
        if self.faults_path:
            try:
                with open(self.faults_path, "r", encoding="utf-8") as f:
                    loaded = json.load(f)
                if isinstance(loaded, dict):
                    rules.update(loaded)
            except (OSError, ValueError):
                pass
        return rules

    def rule_for(self, path):
        rules = self.faults()
        if path in rules:
            return rules[path]
        for pattern, rule in rules.items():
            if any(c in pattern for c in "*?[") and fnmatch.fnmatchcase(path, pattern):
                return rule
        return None

    def log(self, line):
        if not self.log_path:
            return
        with self.log_lock:
            with open(self.log_path, "a", encoding="utf-8", errors="backslashreplace") as f:
                f.write(line + "\n")

    def log_bytes(self, path, status, sent):
        if not self.bytes_log_path:
            return
        with self.log_lock:
            with open(self.bytes_log_path, "a", encoding="utf-8", errors="backslashreplace") as f:
                f.write("%s\t%d\t%d\n" % (path, status, sent))


class VendorHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "VendorServer/1.0"
    config = None  # set by main

    def parse_request(self):
        # WinINet may send the blank of a server path unescaped; the standard parser would refuse the line.
        original = self.raw_requestline
        line = original.decode("iso-8859-1").rstrip("\r\n")
        words = line.split(" ")
        if len(words) > 3 and words[-1].startswith("HTTP/"):
            rebuilt = words[0] + " " + "%20".join(words[1:-1]) + " " + words[-1]
            self.raw_requestline = (rebuilt + "\r\n").encode("iso-8859-1")
        ok = super().parse_request()
        headers = getattr(self, "headers", None) if ok else None
        agent = headers.get("User-Agent", "-") if headers is not None else "-"
        authorization = headers.get("Authorization", "") if headers is not None else ""
        self.config.log(line + "\t" + agent + "\t" + (authorization.split(" ")[0] or "-"))
        return ok

    def log_message(self, format, *args):
        pass  # the request log is the file given by --log

    # -----------------------------------------------------------------------------------------------------
    def do_GET(self):
        self.answer(send_body=True)

    def do_HEAD(self):
        self.answer(send_body=False)

    def answer(self, send_body):
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        rule = self.config.rule_for(path) or {}
        status = int(rule.get("status", 200))

        if status == 401 and rule.get("credentials") and self.authorized(rule["credentials"]):
            status = 200
        if status != 200:
            self.send_status(status, rule, send_body)
            return

        file_path = self.local_path(path)
        if file_path is None or not os.path.isfile(file_path):
            self.send_status(404, {}, send_body)
            return
        if rule.get("empty"):
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", "0")
            self.add_headers(rule)
            self.end_headers()
            return
        self.send_file(file_path, rule, send_body)

    def authorized(self, credentials):
        header = self.headers.get("Authorization", "")
        expected = "Basic " + base64.b64encode(credentials.encode("utf-8")).decode("ascii")
        return header.strip() == expected

    def local_path(self, path):
        parts = [p for p in posixpath.normpath(path).split("/") if p not in ("", ".", "..")]
        full = os.path.realpath(os.path.join(self.config.root, *parts))
        if full != self.config.root and not full.startswith(self.config.root + os.sep):
            return None
        return full

    def add_headers(self, rule):
        for name, value in (rule.get("headers") or {}).items():
            self.send_header(name, str(value))

    def send_status(self, status, rule, send_body):
        reason = self.responses.get(status, ("Status",))[0]
        body = rule.get("body", STATUS_BODY % (status, reason)).encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        if rule.get("location"):
            self.send_header("Location", rule["location"])
        if status == 401:
            self.send_header("WWW-Authenticate", 'Basic realm="vendor"')
        self.add_headers(rule)
        self.end_headers()
        if send_body:
            self.wfile.write(body)

    def requested_range(self, size, etag, last_modified, rule):
        """(first, last) of a satisfiable single range, "unsatisfiable", or None for the whole file."""
        if not self.config.ranges or rule.get("no_ranges") or self.command != "GET":
            return None
        header = self.headers.get("Range")
        if not header:
            return None
        condition = self.headers.get("If-Range")
        if condition is not None and condition.strip() not in (etag, last_modified):
            return None  # the client holds another version: it gets the whole file
        unit, _, byte_range = header.strip().partition("=")
        if unit.strip().lower() != "bytes" or "," in byte_range:
            return None
        first_text, dash, last_text = byte_range.strip().partition("-")
        try:
            if not dash:
                return None
            if first_text == "":
                length = int(last_text)  # the last N bytes
                return (max(0, size - length), size - 1) if length > 0 and size > 0 else "unsatisfiable"
            first = int(first_text)
            last = int(last_text) if last_text else size - 1
        except ValueError:
            return None
        if first >= size or last < first:
            return "unsatisfiable"
        return first, min(last, size - 1)

    def send_file(self, file_path, rule, send_body):
        stat = os.stat(file_path)
        size = stat.st_size
        etag = '"%x-%x"' % (size, stat.st_mtime_ns)
        last_modified = email.utils.formatdate(stat.st_mtime, usegmt=True)
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        part = self.requested_range(size, etag, last_modified, rule)
        if part == "unsatisfiable":
            self.send_response(416)
            self.send_header("Content-Range", "bytes */%d" % size)
            self.send_header("Content-Length", "0")
            self.end_headers()
            self.config.log_bytes(path, 416, 0)
            return
        first, last = part if part else (0, size - 1)
        length = last - first + 1 if size > 0 else 0
        no_length = bool(rule.get("no_length"))
        cut = rule.get("cut")
        stall = rule.get("stall")
        if stall is not None:
            cut = stall if cut is None else min(int(cut), int(stall))
        rate = rule.get("rate")
        status = 206 if part else 200
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("ETag", etag)
        self.send_header("Last-Modified", last_modified)
        if self.config.ranges and not rule.get("no_ranges"):
            self.send_header("Accept-Ranges", "bytes")
        if part:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (first, last, size))
        if no_length:
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
        self.add_headers(rule)
        self.end_headers()
        if not send_body:
            return
        limit = length if cut is None else min(length, int(cut))
        sent = 0
        started = time.monotonic()
        block = COPY_BLOCK
        if rate:
            block = max(1, min(COPY_BLOCK, int(rate) // 10 or 1))
        try:
            with open(file_path, "rb") as f:
                f.seek(first)
                while sent < limit:
                    data = f.read(min(block, limit - sent))
                    if not data:
                        break
                    self.wfile.write(data)
                    sent += len(data)
                    if rate:
                        due = started + sent / float(rate)
                        delay = due - time.monotonic()
                        if delay > 0:
                            time.sleep(delay)
            self.wfile.flush()
        except (BrokenPipeError, ConnectionResetError, ConnectionAbortedError):
            self.close_connection = True
            self.config.log_bytes(path, status, sent)
            return
        self.config.log_bytes(path, status, sent)
        if stall is not None and sent < length:
            # Hold the connection open without sending, until the client gives up or the limit passes.
            self.connection.settimeout(0.2)
            deadline = time.monotonic() + float(rule.get("hold", 120))
            while time.monotonic() < deadline:
                try:
                    if not self.connection.recv(1, socket.MSG_PEEK):
                        break  # the client closed its side
                except socket.timeout:
                    continue
                except OSError:
                    break
                time.sleep(0.2)
        if cut is not None and sent < length:
            # The announced length was not delivered: the client must see the connection end.
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class VendorServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main(argv=None):
    parser = argparse.ArgumentParser(description="Loopback stand-in for the vendor download server.")
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--port-file")
    parser.add_argument("--log")
    parser.add_argument("--faults")
    parser.add_argument("--fault", action="append", default=[], metavar="PATH=RULE")
    parser.add_argument("--no-ranges", action="store_true")
    parser.add_argument("--bytes-log")
    parser.add_argument("--tls-cert")
    parser.add_argument("--tls-key")
    args = parser.parse_args(argv)

    cli_faults = {}
    for item in args.fault:
        path, sep, rule = item.partition("=")
        if not sep:
            parser.error("--fault wants PATH=RULE, got %r" % item)
        cli_faults[path] = parse_rule(rule)

    VendorHandler.config = Config(args.root, args.log, args.faults, cli_faults, ranges=not args.no_ranges,
                                  bytes_log_path=args.bytes_log)
    server = VendorServer((args.bind, args.port), VendorHandler)
    scheme = "http"
    if args.tls_cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls_cert, args.tls_key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
        scheme = "https"
    port = server.server_address[1]
    if args.port_file:
        temporary = args.port_file + ".part"
        with open(temporary, "w") as f:
            f.write("%d\n" % port)
        os.replace(temporary, args.port_file)
    print("vendor server: %s://%s:%d/ serving %s" % (scheme, args.bind, port, VendorHandler.config.root), flush=True)

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
    thread.start()
    while not stop.wait(0.5):
        pass
    server.shutdown()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
