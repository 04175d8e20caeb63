#!/usr/bin/env python3
"""The loopback vendor server answers as each fault rule says; the installer's download tests rely on it."""
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

SERVER = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "vendor_server.py")
PAYLOAD = bytes(range(256)) * 400  # 102400 bytes


def raw_get(port, path, timeout=10, extra=""):
    """Sends one GET as the installer's HTTP stack would (extra: further header lines, each ending in CRLF);
    returns (status, headers, body)."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Internet Session\r\n%s"
                   "Connection: close\r\n\r\n" % (path, extra)).encode("latin-1"))
        data = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    status = int(lines[0].split()[1])
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    return status, headers, body


class VendorServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        root = os.path.join(cls.tmp.name, "root")
        os.makedirs(os.path.join(root, "orvanta", "files", "python 26"))
        for name in ("a.bin", "empty.bin", "nolength.bin", "slow.bin", "cut.bin", "moved.bin", "temp.bin",
                     "secret.bin", "gone.bin", "stall.bin", "whole.bin", "cutpart.bin"):
            with open(os.path.join(root, "orvanta", name), "wb") as f:
                f.write(PAYLOAD)
        with open(os.path.join(root, "orvanta", "files", "python 26", "python-2.6.6.msi"), "wb") as f:
            f.write(b"msi")
        cls.faults = os.path.join(cls.tmp.name, "faults.json")
        with open(cls.faults, "w") as f:
            json.dump({
                "/orvanta/gone.bin": {"status": 404},
                "/orvanta/moved.bin": {"status": 302, "location": "/orvanta/a.bin"},
                "/orvanta/temp.bin": {"status": 307, "location": "/orvanta/a.bin"},
                "/orvanta/secret.bin": {"status": 401},
                "/orvanta/empty.bin": {"empty": True},
                "/orvanta/nolength.bin": {"no_length": True},
                "/orvanta/slow.bin": {"rate": 200000},
                "/orvanta/cut.bin": {"cut": 1000},
                "/orvanta/stall.bin": {"stall": 5000},
                "/orvanta/whole.bin": {"no_ranges": True},
                "/orvanta/cutpart.bin": {"cut": 1000},
            }, f)
        cls.log = os.path.join(cls.tmp.name, "requests.log")
        cls.bytes_log = os.path.join(cls.tmp.name, "bytes.log")
        port_file = os.path.join(cls.tmp.name, "port")
        cls.server = subprocess.Popen([sys.executable, SERVER, "--root", root, "--port", "0", "--port-file",
                                       port_file, "--log", cls.log, "--faults", cls.faults,
                                       "--bytes-log", cls.bytes_log],
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        deadline = time.time() + 10
        while not (os.path.exists(port_file) and open(port_file).read().strip()):
            if time.time() > deadline:
                raise RuntimeError("the server did not start")
            time.sleep(0.05)
        cls.port = int(open(port_file).read())

    @classmethod
    def tearDownClass(cls):
        cls.server.terminate()
        cls.server.wait(timeout=10)
        cls.tmp.cleanup()

    def test_plain_file(self):
        status, headers, body = raw_get(self.port, "/orvanta/a.bin")
        self.assertEqual((status, headers.get("content-length"), body), (200, str(len(PAYLOAD)), PAYLOAD))

    def test_blank_in_path_raw_and_escaped(self):
        for path in ("/orvanta/files/python 26/python-2.6.6.msi", "/orvanta/files/python%2026/python-2.6.6.msi"):
            self.assertEqual(raw_get(self.port, path)[::2], (200, b"msi"), path)

    def test_status_faults(self):
        cases = [("/orvanta/gone.bin", 404, None), ("/orvanta/moved.bin", 302, "/orvanta/a.bin"),
                 ("/orvanta/temp.bin", 307, "/orvanta/a.bin"), ("/orvanta/secret.bin", 401, None),
                 ("/orvanta/missing.bin", 404, None)]
        for path, expected, location in cases:
            status, headers, _ = raw_get(self.port, path)
            self.assertEqual(status, expected, path)
            if location:
                self.assertTrue(headers.get("location", "").endswith(location), path)
            if expected == 401:
                self.assertIn("basic", headers.get("www-authenticate", "").lower())

    def test_body_faults(self):
        status, headers, body = raw_get(self.port, "/orvanta/empty.bin")
        self.assertEqual((status, headers.get("content-length"), body), (200, "0", b""))
        status, headers, body = raw_get(self.port, "/orvanta/nolength.bin")
        self.assertEqual((status, "content-length" in headers, body), (200, False, PAYLOAD))
        status, headers, body = raw_get(self.port, "/orvanta/cut.bin")
        self.assertEqual((status, headers.get("content-length"), len(body)), (200, str(len(PAYLOAD)), 1000))

    def test_stalled_body_sends_its_first_bytes_then_nothing_while_the_client_waits(self):
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as s:
            s.sendall(b"GET /orvanta/stall.bin HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
            data = b""
            while b"\r\n\r\n" not in data or len(data.partition(b"\r\n\r\n")[2]) < 5000:
                data += s.recv(65536)
            head, _, body = data.partition(b"\r\n\r\n")
            self.assertIn(b"Content-Length: %d" % len(PAYLOAD), head)
            self.assertEqual(body, PAYLOAD[:5000])
            s.settimeout(1.5)
            with self.assertRaises(socket.timeout):
                s.recv(65536)  # nothing more comes, and the connection stays open

    def test_slow_body_takes_its_time(self):
        start = time.time()
        status, _, body = raw_get(self.port, "/orvanta/slow.bin")
        self.assertEqual((status, body), (200, PAYLOAD))
        self.assertGreater(time.time() - start, 0.3)  # 102400 bytes at 200000 bytes per second

    def test_requests_are_logged_with_their_user_agent(self):
        raw_get(self.port, "/orvanta/a.bin?logged")
        with open(self.log) as f:
            lines = f.read().splitlines()
        self.assertTrue(any(l.startswith("GET /orvanta/a.bin?logged HTTP/1.1\tInternet Session") for l in lines))


    # --- ranges -------------------------------------------------------------------------------------------
    def test_ranges_answer_the_part_asked_for_on_the_same_version(self):
        _, headers, _ = raw_get(self.port, "/orvanta/a.bin")
        etag, date = headers["etag"], headers["last-modified"]
        self.assertTrue(etag.startswith('"') and etag.endswith('"'))
        size = len(PAYLOAD)
        cases = [
            ("Range: bytes=1000-\r\n", 206, PAYLOAD[1000:], "bytes 1000-%d/%d" % (size - 1, size)),
            ("Range: bytes=10-19\r\n", 206, PAYLOAD[10:20], "bytes 10-19/%d" % size),
            ("Range: bytes=-100\r\n", 206, PAYLOAD[-100:], "bytes %d-%d/%d" % (size - 100, size - 1, size)),
            ("Range: bytes=1000-\r\nIf-Range: %s\r\n" % etag, 206, PAYLOAD[1000:], None),
            ("Range: bytes=1000-\r\nIf-Range: %s\r\n" % date, 206, PAYLOAD[1000:], None),
            ('Range: bytes=1000-\r\nIf-Range: "other"\r\n', 200, PAYLOAD, None),
            ("Range: bytes=%d-\r\n" % size, 416, b"", None),
            ("Range: bytes=0-1,5-6\r\n", 200, PAYLOAD, None),  # several ranges: the whole file
            ("Range: items=0-1\r\n", 200, PAYLOAD, None),
        ]
        for extra, status, body, content_range in cases:
            got_status, got_headers, got_body = raw_get(self.port, "/orvanta/a.bin", extra=extra)
            self.assertEqual((got_status, got_body), (status, body), extra)
            if status == 206:
                self.assertEqual(got_headers["content-length"], str(len(body)), extra)
            if content_range:
                self.assertEqual(got_headers["content-range"], content_range, extra)
            if status == 416:
                self.assertEqual(got_headers["content-range"], "bytes */%d" % size)

    def test_the_no_ranges_rule_answers_the_whole_file(self):
        status, headers, body = raw_get(self.port, "/orvanta/whole.bin", extra="Range: bytes=1000-\r\n")
        self.assertEqual((status, body), (200, PAYLOAD))
        self.assertNotIn("accept-ranges", headers)

    def test_a_cut_part_and_the_bytes_sent_are_logged(self):
        status, headers, body = raw_get(self.port, "/orvanta/cutpart.bin", extra="Range: bytes=50000-\r\n")
        self.assertEqual((status, headers["content-length"], body), (206, str(len(PAYLOAD) - 50000), PAYLOAD[50000:51000]))
        raw_get(self.port, "/orvanta/a.bin", extra="Range: bytes=100000-\r\n")
        deadline = time.time() + 5
        while time.time() < deadline:
            with open(self.bytes_log) as f:
                lines = f.read().splitlines()
            if "/orvanta/a.bin\t206\t%d" % (len(PAYLOAD) - 100000) in lines and "/orvanta/cutpart.bin\t206\t1000" in lines:
                break
            time.sleep(0.05)
        self.assertIn("/orvanta/cutpart.bin\t206\t1000", lines)
        self.assertIn("/orvanta/a.bin\t206\t%d" % (len(PAYLOAD) - 100000), lines)


class NoRangesSwitchTest(unittest.TestCase):
    def test_the_switch_turns_ranges_off_for_every_file(self):
        with tempfile.TemporaryDirectory() as tmp:
            with open(os.path.join(tmp, "a.bin"), "wb") as f:
                f.write(PAYLOAD)
            port_file = os.path.join(tmp, "port")
            server = subprocess.Popen([sys.executable, SERVER, "--root", tmp, "--port-file", port_file, "--no-ranges"],
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
            try:
                deadline = time.time() + 10
                while not (os.path.exists(port_file) and open(port_file).read().strip()):
                    self.assertLess(time.time(), deadline, "the server did not start")
                    time.sleep(0.05)
                port = int(open(port_file).read())
                self.assertEqual(raw_get(port, "/a.bin", extra="Range: bytes=1000-\r\n")[::2], (200, PAYLOAD))
            finally:
                server.terminate()
                server.wait(timeout=10)


if __name__ == "__main__":
    unittest.main()
