"""The service emulator (tools/emulator/vxemu.py) and its launcher (tools/with-emulator.sh),
run as real processes and spoken to over real HTTP.

    cd /work/main && /usr/bin/python3 -m unittest discover -s tests/emulator -p 'test_*.py'
"""

import http.client
import importlib
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import warnings
from collections import namedtuple
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
EMULATOR = ROOT / "tools" / "emulator" / "vxemu.py"
WITH_EMULATOR = ROOT / "tools" / "with-emulator.sh"
FIXTURES_DIR = ROOT / "tools" / "emulator" / "fixtures"
PYTHON = "/usr/bin/python3"

Reply = namedtuple("Reply", "status headers body")

FIXTURE_HISTORY = [
    {"albumId": "123", "tvId": "4567", "videoUrl": "http://www.vexo.com/v_played123.html"},
    {"albumId": "77", "tvId": "88", "videoUrl": "http://www.vexo.com/v_played77.html?list=1"},
]
NOT_LOGGED_IN = {"code": "E00001", "msg": "not logged in", "data": []}


def pattern(size):
    return bytes(i % 251 for i in range(size))


def exchange(connection, method, path, body=None, headers=None):
    connection.request(method, path, body=body, headers=headers or {})
    response = connection.getresponse()
    return Reply(response.status, response.headers, response.read())


class Emulator:
    """One emulator process on a free port, its stderr kept in a file."""

    def __init__(self, *args):
        self._dir = tempfile.TemporaryDirectory(prefix="vxemu-test-")
        self.port_file = Path(self._dir.name) / "port"
        self._stderr_path = Path(self._dir.name) / "stderr"
        with open(self._stderr_path, "wb") as stderr:
            self.process = subprocess.Popen(
                [PYTHON, str(EMULATOR), "--port-file", str(self.port_file), *args],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr)
        self.port = self._wait_for_port()

    def _wait_for_port(self):
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if self.port_file.exists():
                return int(self.port_file.read_text())
            if self.process.poll() is not None:
                raise RuntimeError(f"the emulator exited with {self.process.returncode}: "
                                   f"{self.stderr()}")
            time.sleep(0.02)
        self.process.kill()
        raise RuntimeError("the emulator did not write its port file within 10 s")

    def stderr(self):
        return self._stderr_path.read_text(errors="replace")

    def stop(self, signum=signal.SIGTERM):
        if self.process.poll() is None:
            self.process.send_signal(signum)
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        stderr = self.stderr()
        self._dir.cleanup()
        return self.process.returncode, stderr

    def connect(self):
        return http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)

    def request(self, method, path, body=None, headers=None):
        connection = self.connect()
        try:
            return exchange(connection, method, path, body, headers)
        finally:
            connection.close()

    def get(self, path, headers=None):
        return self.request("GET", path, headers=headers)

    def json(self, method, path, value=None, headers=None):
        body = None if value is None else json.dumps(value).encode("utf-8")
        reply = self.request(method, path, body, headers)
        return reply.status, json.loads(reply.body)

    def logged(self, prefix=None):
        path = "/__emu/requests" + (f"?prefix={prefix}" if prefix else "")
        status, entries = self.json("GET", path)
        assert status == 200, status
        return entries


class EmulatorTestCase(unittest.TestCase):
    """One emulator for the whole class, reset to its fixtures before each test."""

    emulator_args = ()

    @classmethod
    def setUpClass(cls):
        cls.emulator = Emulator(*cls.emulator_args)
        cls.addClassCleanup(cls.emulator.stop)

    def setUp(self):
        self.assertEqual(self.emulator.request("POST", "/__emu/reset").status, 200)

    def play_history(self, cookie_header=None, query=""):
        headers = {} if cookie_header is None else {"Cookie": cookie_header}
        reply = self.emulator.get("/apis/playrecord/list" + query, headers)
        self.assertEqual(reply.status, 200)
        self.assertEqual(reply.headers["Content-Type"], "application/json; charset=utf-8")
        return json.loads(reply.body)


class PictureTests(EmulatorTestCase):
    FIXTURES = [  # path, status, content type, body size
        ("/pictures/ok.jpg", 200, "image/jpeg", 5000),
        ("/pictures/missing.jpg", 404, "image/jpeg", 30),
        ("/pictures/error.jpg", 500, "image/jpeg", 30),
        ("/pictures/partial.jpg", 206, "image/jpeg", 2048),
        ("/pictures/exact1024.jpg", 200, "image/jpeg", 1024),
        ("/pictures/over1024.jpg", 200, "image/jpeg", 1025),
        ("/pictures/zero.jpg", 200, "image/jpeg", 0),
        ("/pictures/big.jpg", 200, "image/jpeg", 300000),
        ("/pictures/not_a_picture.jpg", 200, "image/jpeg", 5000),
    ]
    FILE_FIXTURES = [  # path, content type, file in the fixtures folder
        ("/pictures/album_123.jpg", "image/jpeg", "album_123.jpg"),
        ("/pictures/album_123.png", "image/png", "album_123.png"),
    ]

    def test_each_fixture_picture_has_its_status_type_and_exact_body(self):
        for path, status, content_type, size in self.FIXTURES:
            with self.subTest(path):
                reply = self.emulator.get(path)
                self.assertEqual(reply.status, status)
                self.assertEqual(reply.headers["Content-Type"], content_type)
                self.assertEqual(reply.headers["Content-Length"], str(size))
                self.assertEqual(reply.body, pattern(size))

    def test_each_file_picture_is_sent_as_its_file(self):
        for path, content_type, name in self.FILE_FIXTURES:
            with self.subTest(path):
                reply = self.emulator.get(path)
                self.assertEqual((reply.status, reply.headers["Content-Type"]), (200, content_type))
                self.assertEqual(reply.body, (FIXTURES_DIR / name).read_bytes())

    def test_partial_picture_carries_content_range(self):
        reply = self.emulator.get("/pictures/partial.jpg")
        self.assertEqual(reply.headers["Content-Range"], "bytes 0-2047/4096")

    def test_empty_picture_is_204_without_body_or_length(self):
        reply = self.emulator.get("/pictures/empty.jpg")
        self.assertEqual(reply.status, 204)
        self.assertEqual(reply.body, b"")
        self.assertIsNone(reply.headers["Content-Length"])

    def test_one_connection_carries_every_picture_in_turn(self):
        connection = self.emulator.connect()
        self.addCleanup(connection.close)
        paths = ["/pictures/empty.jpg"] + [path for path, *_ in self.FIXTURES] + ["/pictures/ok.jpg"]
        sizes = {path: size for path, _, _, size in self.FIXTURES}
        for path in paths:
            with self.subTest(path):
                reply = exchange(connection, "GET", path)
                self.assertEqual(len(reply.body), sizes.get(path, 0))
        self.assertEqual(exchange(connection, "GET", "/__emu/health").body, b"ok")

    def test_unknown_picture_is_404_with_a_short_body(self):
        reply = self.emulator.get("/pictures/nothing-here.jpg")
        self.assertEqual(reply.status, 404)
        self.assertTrue(0 < len(reply.body) < 100, reply.body)

    def test_query_does_not_change_which_picture_answers(self):
        reply = self.emulator.get("/pictures/album_123.png?w=180&h=240")
        self.assertEqual((reply.status, reply.body), (200, (FIXTURES_DIR / "album_123.png").read_bytes()))


class RequestLogTests(EmulatorTestCase):
    def test_pingbacks_are_recorded_in_order_with_decoded_query(self):
        first = self.emulator.get("/tailcast/pingback?t=click&name=%E4%B8%AD%E6%96%87"
                                  "&space=a%20b&plus=a+b&dup=1&dup=2&flag")
        second = self.emulator.request("POST", "/tailcast/pingback/v2?t=show", b"a=1&b=2",
                                       {"Content-Type": "application/x-www-form-urlencoded"})
        third = self.emulator.get("/tailcast/pingback?t=close")
        for reply in (first, second, third):
            self.assertEqual((reply.status, reply.body), (200, b"ok"))

        status, pingbacks = self.emulator.json("GET", "/__emu/pingbacks")
        self.assertEqual(status, 200)
        self.assertEqual([(p["method"], p["path"], p["query"]["t"]) for p in pingbacks],
                         [("GET", "/tailcast/pingback", "click"),
                          ("POST", "/tailcast/pingback/v2", "show"),
                          ("GET", "/tailcast/pingback", "close")])
        self.assertEqual(pingbacks[0]["query"], {"t": "click", "name": "中文", "space": "a b",
                                                 "plus": "a+b", "dup": "1", "flag": ""})
        self.assertEqual(pingbacks[1]["body"], "a=1&b=2")
        self.assertEqual(pingbacks[1]["headers"]["content-type"],
                         "application/x-www-form-urlencoded")

    def test_service_requests_are_logged_and_control_requests_are_not(self):
        self.emulator.get("/pictures/ok.jpg")
        self.emulator.get("/nowhere/at/all")
        self.emulator.get("/__emu/health")
        self.emulator.get("/__emu/echo?x=1")
        self.emulator.get("/tailcast/pingback?n=1", {"X-Vx-Trace": "T-1"})
        entries = self.emulator.logged()
        self.assertEqual([e["path"] for e in entries],
                         ["/pictures/ok.jpg", "/nowhere/at/all", "/tailcast/pingback"])
        self.assertEqual(entries[2]["headers"]["x-vx-trace"], "T-1")
        self.assertEqual(entries[0]["body"], "")

    def test_prefix_filter_keeps_arrival_order(self):
        for path in ("/pictures/ok.jpg", "/tailcast/pingback", "/pictures/zero.jpg"):
            self.emulator.get(path)
        self.assertEqual([e["path"] for e in self.emulator.logged("/pictures/")],
                         ["/pictures/ok.jpg", "/pictures/zero.jpg"])

    def test_clearing_pingbacks_keeps_other_requests(self):
        self.emulator.get("/tailcast/pingback?n=1")
        self.emulator.get("/pictures/ok.jpg")
        self.assertEqual(self.emulator.json("DELETE", "/__emu/pingbacks"), (200, {"cleared": 1}))
        self.assertEqual(self.emulator.json("GET", "/__emu/pingbacks"), (200, []))
        self.assertEqual([e["path"] for e in self.emulator.logged()], ["/pictures/ok.jpg"])

    def test_clearing_requests_empties_the_log(self):
        self.emulator.get("/tailcast/pingback?n=1")
        self.emulator.get("/pictures/ok.jpg")
        self.assertEqual(self.emulator.json("DELETE", "/__emu/requests"), (200, {"cleared": 2}))
        self.assertEqual(self.emulator.logged(), [])


class PlayHistoryTests(EmulatorTestCase):
    def test_known_cookie_gets_its_records(self):
        self.assertEqual(self.play_history("vxauth=cookie-123"),
                         {"code": "A00000", "data": FIXTURE_HISTORY})

    def test_quoted_cookie_value_is_unquoted(self):
        self.assertEqual(self.play_history('vxauth="cookie-123"')["data"], FIXTURE_HISTORY)

    def test_logged_in_without_history_gets_an_empty_list(self):
        self.assertEqual(self.play_history("vxauth=cookie-empty"), {"code": "A00000", "data": []})

    def test_percent_encoded_cookie_among_others_is_decoded(self):
        records = [{"albumId": "9", "title": "中文名"}]
        status, _ = self.emulator.json("POST", "/__emu/playhistory",
                                       {"cookie": "user 42;é/x", "records": records})
        self.assertEqual(status, 200)
        reply = self.emulator.get("/apis/playrecord/list",
                                  {"Cookie": "lang=zh; vxauth=user%2042%3B%C3%A9%2Fx; other=1"})
        self.assertEqual(json.loads(reply.body), {"code": "A00000", "data": records})
        self.assertIn("中文名".encode("utf-8"), reply.body)  # not escaped to ASCII

    def test_limit_caps_the_records_and_bad_limits_are_ignored(self):
        cases = {"?limit=1": FIXTURE_HISTORY[:1], "?limit=0": [], "?limit=5": FIXTURE_HISTORY,
                 "?limit=abc": FIXTURE_HISTORY, "?limit=-1": FIXTURE_HISTORY,
                 "?limit=": FIXTURE_HISTORY, "": FIXTURE_HISTORY}
        for query, expected in cases.items():
            with self.subTest(query=query):
                self.assertEqual(self.play_history("vxauth=cookie-123", query)["data"], expected)

    def test_missing_or_unknown_cookie_is_not_logged_in(self):
        for cookie_header in (None, "vxauth=cookie-999", "other=cookie-123",
                              "xvxauth=cookie-123", "vxauth=", "vxauth"):
            with self.subTest(cookie=cookie_header):
                self.assertEqual(self.play_history(cookie_header), NOT_LOGGED_IN)


class ControlUpdateTests(EmulatorTestCase):
    def test_added_pictures_are_served(self):
        for path in ("/pictures/new.png", "/covers/elsewhere.png"):
            with self.subTest(path):
                status, stored = self.emulator.json("POST", "/__emu/pictures", {
                    "path": path, "status": 200, "size": 10, "type": "image/png"})
                self.assertEqual((status, stored["size"]), (200, 10))
                reply = self.emulator.get(path)
                self.assertEqual((reply.status, reply.headers["Content-Type"], reply.body),
                                 (200, "image/png", pattern(10)))

    def test_replaced_picture_answers_the_new_entry(self):
        self.emulator.json("POST", "/__emu/pictures",
                           {"path": "/pictures/ok.jpg", "status": 503, "size": 7})
        reply = self.emulator.get("/pictures/ok.jpg")
        self.assertEqual((reply.status, reply.headers["Content-Type"], len(reply.body)),
                         (503, "image/jpeg", 7))

    def test_play_history_is_replaced_per_cookie(self):
        records = [{"albumId": "5", "tvId": "6", "videoUrl": "http://www.vexo.com/v_5.html"}]
        for cookie in ("cookie-123", "cookie-new"):
            status, answer = self.emulator.json("POST", "/__emu/playhistory",
                                                {"cookie": cookie, "records": records})
            self.assertEqual((status, answer), (200, {"cookie": cookie, "count": 1}))
        for cookie in ("cookie-123", "cookie-new"):
            self.assertEqual(self.play_history(f"vxauth={cookie}")["data"], records)
        self.assertEqual(self.play_history("vxauth=cookie-empty")["data"], [])

    def test_reset_restores_the_fixtures_and_clears_the_log(self):
        self.emulator.json("POST", "/__emu/pictures", {"path": "/pictures/ok.jpg", "status": 500})
        self.emulator.json("POST", "/__emu/pictures", {"path": "/pictures/added.jpg", "status": 200})
        self.emulator.json("POST", "/__emu/playhistory", {"cookie": "cookie-123", "records": []})
        self.emulator.get("/tailcast/pingback?n=1")

        self.assertEqual(self.emulator.json("POST", "/__emu/reset"), (200, {"ok": True}))
        self.assertEqual(self.emulator.logged(), [])
        self.assertEqual(len(self.emulator.get("/pictures/ok.jpg").body), 5000)
        self.assertEqual(self.emulator.get("/pictures/added.jpg").status, 404)
        self.assertEqual(self.play_history("vxauth=cookie-123")["data"], FIXTURE_HISTORY)


class MalformedControlInputTests(EmulatorTestCase):
    PICTURE_BODIES = {
        "not JSON": b"{'path': '/pictures/ok.jpg'}",
        "not UTF-8": b'{"path": "/pictures/ok.jpg", "status": 500, "type": "\xff"}',
        "a list": b'[{"path": "/pictures/ok.jpg", "status": 500}]',
        "empty": b"",
        "NaN size": b'{"path": "/pictures/ok.jpg", "status": 500, "size": NaN}',
    }
    PICTURE_FIELDS = {  # each applied to /pictures/ok.jpg unless it overrides the path
        "no path": {"path": None},
        "relative path": {"path": "pictures/ok.jpg"},
        "control path": {"path": "/__emu/health"},
        "path with query": {"path": "/pictures/ok.jpg?x=1"},
        "no status": {"status": None},
        "status as text": {"status": "500"},
        "status as boolean": {"status": True},
        "status too low": {"status": 99},
        "status too high": {"status": 600},
        "negative size": {"size": -1},
        "fractional size": {"size": 1.5},
        "size as text": {"size": "10"},
        "size and file": {"size": 10, "file": "pictures.json"},
        "file outside the fixtures": {"file": "../vxemu.py"},
        "absolute file": {"file": "/etc/hostname"},
        "missing file": {"file": "no-such-file.bin"},
        "type as number": {"type": 5},
        "type with line break": {"type": "image/png\r\nX-Injected: 1"},
        "unknown field": {"colour": "red"},
        "204 with a body": {"status": 204, "size": 3},
        "empty 206": {"status": 206, "size": 0},
    }
    PLAY_HISTORY_FIELDS = {  # each applied to cookie-123
        "no cookie": {"cookie": None},
        "empty cookie": {"cookie": ""},
        "cookie as number": {"cookie": 123},
        "no records": {"records": None},
        "records as object": {"records": {"albumId": "1"}},
        "record not an object": {"records": [{"albumId": "1"}, "2"]},
        "unknown field": {"limit": 1},
    }

    def assert_fixture_state(self):
        ok = self.emulator.get("/pictures/ok.jpg")
        self.assertEqual((ok.status, ok.headers["Content-Type"], ok.body),
                         (200, "image/jpeg", pattern(5000)))
        self.assertEqual(self.emulator.get("/__emu/health").body, b"ok")
        self.assertEqual(self.play_history("vxauth=cookie-123")["data"], FIXTURE_HISTORY)

    def assert_refused(self, path, body):
        log_before = self.emulator.logged()
        reply = self.emulator.request("POST", path, body, {"Content-Type": "application/json"})
        self.assertEqual(reply.status, 400, reply.body)
        self.assertEqual(reply.headers["Content-Type"], "application/json; charset=utf-8")
        error = json.loads(reply.body)["error"]
        self.assertIsInstance(error, str)
        self.assertTrue(error)
        self.assertEqual(self.emulator.logged(), log_before)
        self.assert_fixture_state()

    @staticmethod
    def with_fields(base, changes):
        fields = {**base, **changes}
        return json.dumps({k: v for k, v in fields.items() if v is not None}).encode("utf-8")

    def test_bad_picture_bodies_are_refused(self):
        for name, body in self.PICTURE_BODIES.items():
            with self.subTest(name):
                self.assert_refused("/__emu/pictures", body)

    def test_bad_picture_fields_are_refused(self):
        base = {"path": "/pictures/ok.jpg", "status": 500, "size": 7}
        for name, changes in self.PICTURE_FIELDS.items():
            with self.subTest(name):
                if "file" in changes and "size" not in changes:
                    changes = {**changes, "size": None}
                self.assert_refused("/__emu/pictures", self.with_fields(base, changes))

    def test_bad_play_history_is_refused(self):
        base = {"cookie": "cookie-123", "records": [{"albumId": "1"}]}
        for name, changes in self.PLAY_HISTORY_FIELDS.items():
            with self.subTest(name):
                self.assert_refused("/__emu/playhistory", self.with_fields(base, changes))
        with self.subTest("not JSON"):
            self.assert_refused("/__emu/playhistory", b"cookie=cookie-123")

    def test_bad_delay_and_status_queries_are_refused(self):
        for path in ("/__emu/delay", "/__emu/delay?ms=abc", "/__emu/delay?ms=-5",
                     "/__emu/delay?ms=99999999", "/__emu/delay?ms=1&size=x",
                     "/__emu/status", "/__emu/status?code=abc", "/__emu/status?code=99",
                     "/__emu/status?code=600", "/__emu/status?code=200&size=-1"):
            with self.subTest(path):
                reply = self.emulator.get(path)
                self.assertEqual(reply.status, 400)
                self.assertIn("error", json.loads(reply.body))

    def test_unknown_control_path_and_wrong_method(self):
        status, answer = self.emulator.json("GET", "/__emu/nothing")
        self.assertEqual(status, 404)
        self.assertIn("error", answer)
        reply = self.emulator.request("DELETE", "/__emu/reset")
        self.assertEqual(reply.status, 405)
        self.assertEqual(reply.headers["Allow"], "POST")
        self.assertEqual(self.emulator.request("PUT", "/tailcast/pingback").status, 405)

    def test_broken_request_framing_is_refused_and_the_server_keeps_serving(self):
        for name, head in {
            "bad length": b"Content-Length: ten\r\n",
            "unknown coding": b"Transfer-Encoding: gzip\r\n",
            "bad chunk": b"Transfer-Encoding: chunked\r\n\r\nzz\r\nabc\r\n0\r\n",
        }.items():
            with self.subTest(name), socket.create_connection(("127.0.0.1", self.emulator.port),
                                                              timeout=5) as raw:
                raw.sendall(b"POST /__emu/echo HTTP/1.1\r\nHost: x\r\n" + head + b"\r\n")
                raw.shutdown(socket.SHUT_WR)
                answer = b"".join(iter(lambda: raw.recv(65536), b""))
                self.assertTrue(answer.startswith(b"HTTP/1.1 400 "), answer)
        self.assertEqual(self.emulator.get("/__emu/health").body, b"ok")


class EchoTests(EmulatorTestCase):
    def test_echo_reports_query_and_headers_as_logged(self):
        status, echoed = self.emulator.json("GET", "/__emu/echo?a=1&b=x%20y&a=2&c=%E4%B8%AD",
                                            headers={"X-Vx-Client": "Tailcast/1.0"})
        self.assertEqual(status, 200)
        self.assertEqual((echoed["method"], echoed["path"], echoed["body"]), ("GET", "/__emu/echo", ""))
        self.assertEqual(echoed["query"], {"a": "1", "b": "x y", "c": "中"})
        self.assertEqual(echoed["headers"]["x-vx-client"], "Tailcast/1.0")
        self.assertEqual(echoed["headers"]["host"], f"127.0.0.1:{self.emulator.port}")

    def test_echo_reports_the_body_as_text(self):
        for body, text in ((b"", ""), ("héllo 中".encode("utf-8"), "héllo 中"),
                           (b"ab\xffcd", "ab\ufffdcd")):
            with self.subTest(body=body):
                reply = self.emulator.request("POST", "/__emu/echo", body)
                self.assertEqual(json.loads(reply.body)["body"], text)

    def test_chunked_body_is_read(self):
        connection = self.emulator.connect()
        self.addCleanup(connection.close)
        connection.request("POST", "/__emu/echo", body=iter([b"part one, ", b"part two"]),
                           encode_chunked=True)
        self.assertEqual(json.loads(connection.getresponse().read())["body"], "part one, part two")
        self.assertEqual(exchange(connection, "GET", "/__emu/health").body, b"ok")


class DelayAndStatusTests(EmulatorTestCase):
    def test_delay_is_honoured(self):
        started = time.monotonic()
        reply = self.emulator.get("/__emu/delay?ms=300&size=1000")
        self.assertGreaterEqual(time.monotonic() - started, 0.3)
        self.assertEqual((reply.status, reply.body), (200, pattern(1000)))

    def test_other_requests_are_answered_during_a_delay(self):
        delayed = threading.Thread(target=self.emulator.get, args=("/__emu/delay?ms=1000",))
        delayed.start()
        self.addCleanup(delayed.join)
        time.sleep(0.1)
        started = time.monotonic()
        self.assertEqual(self.emulator.get("/__emu/health").body, b"ok")
        self.assertLess(time.monotonic() - started, 1.0)

    def test_client_leaving_during_a_delay_does_not_harm_the_server(self):
        with socket.create_connection(("127.0.0.1", self.emulator.port), timeout=5) as raw:
            raw.sendall(b"GET /__emu/delay?ms=200&size=4000000 HTTP/1.1\r\nHost: x\r\n\r\n")
        time.sleep(0.5)  # the answer has been written into the closed connection by now
        self.assertEqual(self.emulator.get("/__emu/health").body, b"ok")
        self.assertIsNone(self.emulator.process.poll())
        self.assertNotIn("Traceback", self.emulator.stderr())

    def test_status_answers_the_code_with_the_size(self):
        for code, size in ((200, 0), (404, 17), (503, 1000)):
            with self.subTest(code=code):
                reply = self.emulator.get(f"/__emu/status?code={code}&size={size}")
                self.assertEqual((reply.status, reply.body), (code, pattern(size)))
        self.assertEqual(len(self.emulator.get("/__emu/status?code=500").body), 0)

    def test_status_without_body_keeps_the_connection_usable(self):
        connection = self.emulator.connect()
        self.addCleanup(connection.close)
        for code in (204, 304):
            with self.subTest(code=code):
                reply = exchange(connection, "GET", f"/__emu/status?code={code}&size=100")
                self.assertEqual((reply.status, reply.body), (code, b""))
                self.assertIsNone(reply.headers["Content-Length"])
                self.assertEqual(exchange(connection, "GET", "/__emu/health").body, b"ok")


class OutageTests(EmulatorTestCase):
    def test_an_outage_answers_every_service_request_until_it_is_lifted(self):
        self.assertEqual(self.json("POST", "/__emu/outage", {"mode": "status", "status": 502})[0], 200)
        for path in ("/pictures/album_123.jpg", "/r/dorsa/album/latest/123/pb/", "/apis/urc/getUpdateReminder"):
            with self.subTest(path=path):
                self.assertEqual(self.emulator.get(path).status, 502)
        self.assertEqual(self.emulator.get("/__emu/health").body, b"ok")  # control requests go on
        self.assertEqual(len(self.emulator.logged("/pictures/")), 1)
        self.json("POST", "/__emu/outage", {"mode": "off"})
        self.assertEqual(self.emulator.get("/pictures/album_123.jpg").status, 200)

    def test_a_dropping_outage_closes_the_connection_unanswered_and_reset_ends_it(self):
        self.json("POST", "/__emu/outage", {"mode": "drop"})
        connection = self.emulator.connect()
        self.addCleanup(connection.close)
        with self.assertRaises((http.client.RemoteDisconnected, ConnectionError)):
            exchange(connection, "GET", "/pictures/album_123.jpg")
        self.assertEqual(self.emulator.request("POST", "/__emu/reset").status, 200)
        self.assertEqual(self.emulator.get("/pictures/album_123.jpg").status, 200)

    def test_an_unknown_mode_or_status_changes_nothing(self):
        for body in ({"mode": "sometimes"}, {"mode": "status", "status": 200}, {"mode": "drop", "extra": 1}):
            with self.subTest(body=body):
                self.assertEqual(self.json("POST", "/__emu/outage", body)[0], 400)
        self.assertEqual(self.emulator.get("/pictures/album_123.jpg").status, 200)

    def json(self, method, path, value=None):
        return self.emulator.json(method, path, value)


class SilenceTests(EmulatorTestCase):
    """A dead service: connections are taken, requests read and logged, and never answered."""

    def send_raw(self, path):
        raw = socket.create_connection(("127.0.0.1", self.emulator.port), timeout=5)
        self.addCleanup(raw.close)
        raw.sendall(f"GET {path} HTTP/1.1\r\nHost: x\r\n\r\n".encode("ascii"))
        return raw

    def wait_until_logged(self, count):
        deadline = time.monotonic() + 5
        while len(self.emulator.logged()) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        return self.emulator.logged()

    def assert_closed_unanswered(self, raw):
        raw.settimeout(5)
        self.assertEqual(raw.recv(1), b"")

    def test_held_requests_are_logged_unanswered_while_control_requests_are_answered(self):
        self.assertEqual(self.emulator.json("POST", "/__emu/silence"), (200, {"silent": True}))
        raw = self.send_raw("/tailcast/pingback?a=14")
        self.assertEqual([(e["path"], e["query"]) for e in self.wait_until_logged(1)],
                         [("/tailcast/pingback", {"a": "14"})])
        raw.settimeout(0.5)
        with self.assertRaises(socket.timeout):
            raw.recv(1)
        self.assertEqual(self.emulator.get("/__emu/health").body, b"ok")

    def test_lifting_closes_held_connections_unanswered_and_the_service_answers_again(self):
        self.emulator.json("POST", "/__emu/silence")
        held = [self.send_raw("/pictures/ok.jpg"), self.send_raw("/r/dorsa/album/b/123/pb/")]
        self.wait_until_logged(2)
        self.assertEqual(self.emulator.json("DELETE", "/__emu/silence"), (200, {"silent": False}))
        for raw in held:
            self.assert_closed_unanswered(raw)
        self.assertEqual(self.emulator.get("/pictures/ok.jpg").status, 200)

    def test_reset_lifts_the_silence(self):
        self.emulator.json("POST", "/__emu/silence")
        raw = self.send_raw("/pictures/ok.jpg")
        self.wait_until_logged(1)
        self.assertEqual(self.emulator.request("POST", "/__emu/reset").status, 200)
        self.assert_closed_unanswered(raw)
        self.assertEqual(self.emulator.get("/pictures/ok.jpg").status, 200)

    def test_a_stop_signal_ends_the_emulator_while_it_holds_requests(self):
        emulator = Emulator()
        try:
            emulator.json("POST", "/__emu/silence")
            raw = socket.create_connection(("127.0.0.1", emulator.port), timeout=5)
            self.addCleanup(raw.close)
            raw.sendall(b"GET /pictures/ok.jpg HTTP/1.1\r\nHost: x\r\n\r\n")
            time.sleep(0.3)
        finally:
            started = time.monotonic()
            code, stderr = emulator.stop()
        self.assertEqual(code, 0, stderr)
        self.assertLess(time.monotonic() - started, 3)


class FixtureFolderTests(EmulatorTestCase):
    """An emulator started with --fixtures on a folder of its own, with file-backed pictures."""

    ART = bytes(range(256)) * 3 + b"end"

    @classmethod
    def setUpClass(cls):
        folder = tempfile.TemporaryDirectory(prefix="vxemu-fixtures-")
        cls.addClassCleanup(folder.cleanup)
        cls.fixtures = Path(folder.name)
        (cls.fixtures / "art").mkdir()
        (cls.fixtures / "art" / "cover.png").write_bytes(cls.ART)
        cls.write_tables({
            "/pictures/cover.png": {"status": 200, "file": "art/cover.png", "type": "image/png"},
            "/pictures/cover-part.png": {"status": 206, "file": "art/cover.png"},
        })
        cls.emulator_args = ("--fixtures", str(cls.fixtures))
        super().setUpClass()

    @classmethod
    def write_tables(cls, pictures, history=None):
        (cls.fixtures / "pictures.json").write_text(json.dumps(pictures))
        (cls.fixtures / "playhistory.json").write_text(json.dumps(history or {"c": []}))
        (cls.fixtures / "catalogue.json").write_text("{}")
        (cls.fixtures / "reminders.json").write_text("{}")

    def test_file_pictures_send_the_file(self):
        reply = self.emulator.get("/pictures/cover.png")
        self.assertEqual((reply.status, reply.headers["Content-Type"], reply.body),
                         (200, "image/png", self.ART))
        partial = self.emulator.get("/pictures/cover-part.png")
        self.assertEqual(partial.body, self.ART)
        self.assertEqual(partial.headers["Content-Range"], f"bytes 0-{len(self.ART) - 1}/{len(self.ART) * 2}")
        self.assertEqual(self.emulator.get("/pictures/ok.jpg").status, 404)  # not in this folder

    def test_added_file_picture_comes_from_the_fixtures_folder(self):
        status, _ = self.emulator.json("POST", "/__emu/pictures",
                                       {"path": "/pictures/again.png", "status": 200,
                                        "file": "art/cover.png"})
        self.assertEqual(status, 200)
        self.assertEqual(self.emulator.get("/pictures/again.png").body, self.ART)

    def test_reset_rereads_the_folder_and_a_broken_table_changes_nothing(self):
        original = (self.fixtures / "pictures.json").read_text()
        self.addCleanup((self.fixtures / "pictures.json").write_text, original)
        self.write_tables({"/pictures/fresh.jpg": {"status": 200, "size": 3}})
        self.assertEqual(self.emulator.request("POST", "/__emu/reset").status, 200)
        self.assertEqual(len(self.emulator.get("/pictures/fresh.jpg").body), 3)
        self.assertEqual(self.emulator.get("/pictures/cover.png").status, 404)

        (self.fixtures / "pictures.json").write_text('{"/pictures/x.jpg": {"status": "2')
        status, answer = self.emulator.json("POST", "/__emu/reset")
        self.assertEqual(status, 500)
        self.assertIn("pictures.json", answer["error"])
        self.assertEqual(len(self.emulator.get("/pictures/fresh.jpg").body), 3)


class CatalogueSchema:
    """The VRSProto1 classes, generated by protoc from PB/*.proto for the tests' own decoding."""

    _module = None

    @classmethod
    def module(cls):
        if cls._module is None:
            with tempfile.TemporaryDirectory(prefix="vxemu-test-pb-") as folder:
                subprocess.run(["protoc", f"--proto_path={ROOT / 'PB'}", f"--python_out={folder}",
                                "video.proto", "album.proto"], check=True, capture_output=True)
                sys.path.insert(0, folder)
                try:
                    cls._module = importlib.import_module("album_pb2")
                finally:
                    sys.path.remove(folder)
        return cls._module


def decode_complete(name, body):
    """The message when `body` is exactly one complete encoding of it, otherwise None."""
    message = getattr(CatalogueSchema.module(), name)()
    with warnings.catch_warnings(record=True) as complaints:
        warnings.simplefilter("always")  # "not all data was converted" is only a warning
        try:
            message.ParseFromString(body)
        except Exception:
            return None
    if complaints or not message.IsInitialized() or message.SerializePartialToString() != body:
        return None
    return message


def decode_partial(name, body):
    message = getattr(CatalogueSchema.module(), name)()
    message.ParseFromString(body)
    return message


def catalogue_fields(album, name, tv_id=4000, **album_fields):
    return {"pb_version": "1.0", "timestamp": "t", "id": album, "name": name,
            "album": {"pb_version": "1.0", "timestamp": "t", "effect": True, "id": album, "name": name,
                      "tv_id": tv_id, "vid": f"vid{tv_id}", **album_fields}}


def latest_fields(album, tv_id=4000, **counts):
    return {"album_id": album, "tv_id": tv_id, "vid": f"vid{tv_id}", **counts}


class CatalogueTests(EmulatorTestCase):
    FIXTURE_ALBUMS = [  # album, name, category, play_url, tv_year, video_count, video_count_updateto
        (123, "ABC", 2, "http://www.vexo.com/a_123.html", "2013年", 40, 12),
        (124, "Complete", 2, "http://www.vexo.com/a_124.html", "2012", 40, 40),
        (125, "Film", 1, "http://www.vexo.com/v_125.html", "2010", 1, 1),
    ]

    def question(self, endpoint, album):
        return self.emulator.get(f"/r/dorsa/album/{endpoint}/{album}/pb/")

    def big_album(self, album):
        reply = self.question("b", album)
        self.assertEqual((reply.status, reply.headers["Content-Type"]), (200, "application/x-protobuf"))
        return decode_complete("BigAlbum", reply.body)

    def latest(self, album):
        reply = self.question("latest", album)
        self.assertEqual((reply.status, reply.headers["Content-Type"]), (200, "application/x-protobuf"))
        return decode_complete("LatestVideo", reply.body)

    def put(self, fields):
        return self.emulator.json("POST", "/__emu/catalogue", fields)

    def test_fixture_albums_answer_complete_messages(self):
        for album, name, category, play_url, tv_year, count, updateto in self.FIXTURE_ALBUMS:
            with self.subTest(album=album):
                big = self.big_album(album)
                self.assertIsNotNone(big)
                self.assertEqual((big.id, big.name, big.album.id, big.album.name), (album, name, album, name))
                self.assertEqual((big.album.category_id, big.album.play_url, big.album.tv_year),
                                 (category, play_url, tv_year))
                latest = self.latest(album)
                self.assertIsNotNone(latest)
                self.assertEqual((latest.album_id, latest.video_count, latest.video_count_updateto,
                                  latest.category_id), (album, count, updateto, category))

    def test_absent_optional_fields_stay_absent(self):
        big = self.big_album(126)
        latest = self.latest(126)
        self.assertFalse(big.album.HasField("play_url"))
        self.assertFalse(big.album.HasField("tv_year"))
        self.assertFalse(latest.HasField("video_count"))
        self.assertFalse(latest.HasField("video_count_updateto"))

    def test_fixture_hostile_albums_answer_no_complete_message(self):
        for album, status in ((900, 200), (901, 200), (902, 200), (903, 200), (904, 404), (905, 500),
                              (906, 200)):
            for endpoint, name in (("b", "BigAlbum"), ("latest", "LatestVideo")):
                with self.subTest(album=album, endpoint=endpoint):
                    reply = self.question(endpoint, album)
                    self.assertEqual(reply.status, status)
                    if status == 200:
                        self.assertIsNone(decode_complete(name, reply.body))
        self.assertEqual(self.question("b", 903).body, b"")
        self.assertEqual(decode_partial("BigAlbum", self.question("b", 902).body)
                         .FindInitializationErrors(), ["album.vid"])
        self.assertEqual(decode_partial("LatestVideo", self.question("latest", 902).body)
                         .FindInitializationErrors(), ["vid"])

    def test_each_answer_mode_spoils_the_complete_encoding_as_named(self):
        big = catalogue_fields(700, "Spoiled", play_url="http://www.vexo.com/a_700.html")
        latest = latest_fields(700, video_count=9)
        self.assertEqual(self.put({"album": 700, "big_album": big, "latest": latest})[0], 200)
        whole = {"b": self.question("b", 700).body, "latest": self.question("latest", 700).body}
        expected = {
            "truncated": lambda body: body[:len(body) // 2],
            "garbage": lambda body: b"<html><body>502 Bad Gateway</body></html>\n",
            "empty": lambda body: b"",
            "trailing_garbage": lambda body: body + b"<html><body>502 Bad Gateway</body></html>\n",
        }
        for answer, spoil in expected.items():
            with self.subTest(answer):
                status, stored = self.put({"album": 700, "big_album": big, "latest": latest, "answer": answer})
                self.assertEqual((status, stored["answer"]), (200, answer))
                for endpoint, name in (("b", "BigAlbum"), ("latest", "LatestVideo")):
                    body = self.question(endpoint, 700).body
                    self.assertEqual(body, spoil(whole[endpoint]))
                    self.assertIsNone(decode_complete(name, body))

    def test_missing_required_sends_the_partial_encoding(self):
        big = catalogue_fields(701, "Partial")
        del big["album"]["effect"]
        del big["name"]
        status, stored = self.put({"album": 701, "big_album": big, "answer": "missing_required"})
        self.assertEqual((status, stored["latest"]), (200, None))
        message = decode_partial("BigAlbum", self.question("b", 701).body)
        self.assertEqual(sorted(message.FindInitializationErrors()), ["album.effect", "name"])
        self.assertEqual(message.album.vid, "vid4000")
        self.assertEqual(self.question("latest", 701).status, 404)

    def test_status_is_sent_with_the_answer_body(self):
        self.put({"album": 702, "latest": latest_fields(702, video_count=3), "status": 503})
        reply = self.question("latest", 702)
        self.assertEqual(reply.status, 503)
        self.assertEqual(decode_complete("LatestVideo", reply.body).video_count, 3)

    def test_control_replaces_an_album_and_reset_restores_the_fixtures(self):
        status, stored = self.put({"album": 123, "latest": latest_fields(123, video_count=41)})
        self.assertEqual((status, stored["album"], stored["big_album"]), (200, 123, None))
        self.assertEqual(stored["latest"], len(self.question("latest", 123).body))
        self.assertEqual(self.latest(123).video_count, 41)
        self.assertEqual(self.question("b", 123).status, 404)  # the whole entry was replaced

        self.assertEqual(self.emulator.request("POST", "/__emu/reset").status, 200)
        self.assertEqual(self.latest(123).video_count, 40)
        self.assertEqual(self.big_album(123).album.play_url, "http://www.vexo.com/a_123.html")

    def test_ids_are_matched_as_the_path_writes_them(self):
        self.put({"album": -123, "latest": latest_fields(-123, video_count=5)})
        self.put({"album": 4294967173, "big_album": catalogue_fields(-123, "Negative")})
        self.assertEqual(self.latest(-123).video_count, 5)
        self.assertEqual(self.big_album(4294967173).name, "Negative")
        self.assertEqual(self.question("b", -123).status, 404)
        self.assertEqual(self.question("latest", 4294967173).status, 404)

    def test_unknown_albums_and_other_paths_are_404_and_logged(self):
        paths = ["/r/dorsa/album/b/999/pb/", "/r/dorsa/album/latest/999/pb/", "/r/dorsa/album/b/123/pb",
                 "/r/dorsa/album/b/abc/pb/", "/r/dorsa/album/x/123/pb/", "/r/dorsa/album/b/12345678901/pb/",
                 "/r/dorsa/album/b/123/pb/extra"]
        for path in paths:
            with self.subTest(path):
                reply = self.emulator.get(path)
                self.assertEqual((reply.status, reply.headers["Content-Type"]), (404, "text/plain; charset=utf-8"))
        self.assertEqual([e["path"] for e in self.emulator.logged("/r/dorsa/album/")], paths)
        self.assertEqual(self.emulator.request("POST", "/r/dorsa/album/b/123/pb/").status, 405)

    def test_bad_catalogue_control_input_is_refused_and_changes_nothing(self):
        complete = {"album": 123, "big_album": catalogue_fields(123, "X"), "latest": latest_fields(123)}
        cases = {
            "no album": {"album": None},
            "album as text": {"album": "123"},
            "album as boolean": {"album": True},
            "album too large": {"album": 2**32},
            "album too small": {"album": -2**31 - 1},
            "unknown field": {"colour": "red"},
            "unknown answer": {"answer": "slow"},
            "status too low": {"status": 99},
            "status as text": {"status": "200"},
            "204 with a body": {"status": 204},
            "no message": {"big_album": None, "latest": None},
            "big_album not an object": {"big_album": [1]},
            "unknown message field": {"latest": {**latest_fields(123), "episodes": 3}},
            "wrong field type": {"latest": {**latest_fields(123), "video_count": "many"}},
            "fractional number": {"latest": {**latest_fields(123), "video_count": 1.5}},
            "number out of int32": {"latest": {**latest_fields(123), "video_count": 2**31}},
            "required field missing": {"latest": {"album_id": 123, "tv_id": 1}},
            "nested required missing": {"big_album": {**catalogue_fields(123, "X"), "album": {"id": 123}}},
            "missing_required with nothing missing": {"answer": "missing_required"},
        }
        before = {endpoint: self.question(endpoint, 123).body for endpoint in ("b", "latest")}
        for name, changes in cases.items():
            with self.subTest(name):
                fields = {k: v for k, v in {**complete, **changes}.items() if v is not None}
                reply = self.emulator.request("POST", "/__emu/catalogue", json.dumps(fields).encode("utf-8"))
                self.assertEqual(reply.status, 400, reply.body)
                self.assertTrue(json.loads(reply.body)["error"])
                self.assertEqual({e: self.question(e, 123).body for e in before}, before)
        with self.subTest("not JSON"):
            self.assertEqual(self.emulator.request("POST", "/__emu/catalogue", b"album=123").status, 400)


class ReminderFeedTests(EmulatorTestCase):
    SIGNED_IN = "/apis/vexorc/getUpdateReminder"
    ANONYMOUS = "/apis/urc/getUpdateReminder"
    MACHINE = "0123456789abcdef0123456789abcdef"
    EMPTY = {"code": "A00000", "count": 0, "data": []}

    def feed(self, path):
        reply = self.emulator.get(path)
        self.assertEqual(reply.headers["Content-Type"], "application/json; charset=utf-8")
        return reply

    def test_fixture_feed_per_cookie_and_machine_with_servable_small_pictures(self):
        origin = f"http://127.0.0.1:{self.emulator.port}"
        for path in (f"{self.SIGNED_IN}?auth=cookie-123", f"{self.ANONYMOUS}?ckuid={self.MACHINE}"):
            with self.subTest(path):
                reply = self.feed(path)
                self.assertEqual(reply.status, 200)
                feed = json.loads(reply.body.decode("utf-8"))
                self.assertEqual((feed["code"], feed["count"], len(feed["data"])), ("A00000", 5, 5))
                self.assertEqual([item["channelId"] for item in feed["data"]], [1, 2, 4, 6, 2])
                self.assertEqual(feed["data"][3]["reminder"]["mpd"], 20131205)
                self.assertEqual(feed["data"][3]["albumName"], "快乐大本营")
                self.assertEqual(feed["data"][1]["reminder"]["tvPic"], origin + "/pictures/album_123.jpg")
        for album in (123, 124, 125, 126):
            small = self.emulator.get(f"/pictures/album_{album}_145_90.jpg")
            self.assertEqual(small.status, 200)
            self.assertEqual(small.body, (FIXTURES_DIR / f"album_{album}_145_90.jpg").read_bytes())
            self.assertEqual(small.body[:2], b"\xff\xd8")
        self.assertEqual(self.emulator.get("/pictures/album_999_145_90.jpg").status, 404)
        logged = self.emulator.logged("/apis/")
        self.assertEqual([(e["path"], e["query"]) for e in logged],
                         [(self.SIGNED_IN, {"auth": "cookie-123"}), (self.ANONYMOUS, {"ckuid": self.MACHINE})])

    def test_unknown_or_missing_keys_get_an_empty_well_formed_feed(self):
        for path in (f"{self.SIGNED_IN}?auth=nobody", self.SIGNED_IN, f"{self.ANONYMOUS}?ckuid=",
                     f"{self.SIGNED_IN}?ckuid={self.MACHINE}", f"{self.ANONYMOUS}?auth=cookie-123"):
            with self.subTest(path):
                reply = self.feed(path)
                self.assertEqual((reply.status, json.loads(reply.body)), (200, self.EMPTY))

    def test_each_answer_mode_spoils_the_feed_as_named(self):
        feed = {"code": "A00000", "count": 1, "data": [{"albumId": 7, "reminder": {"tvPic": "{origin}/p.jpg"}}]}
        complete = json.dumps(feed).replace("{origin}", f"http://127.0.0.1:{self.emulator.port}").encode()
        for answer in ("complete", "wrong_code", "malformed", "truncated", "data_not_array", "huge_count",
                       "server_error"):
            with self.subTest(answer):
                status, stored = self.emulator.json("POST", "/__emu/reminders",
                                                    {"ckuid": "m1", "feed": feed, "answer": answer})
                self.assertEqual((status, stored["answer"]), (200, answer))
                reply = self.feed(f"{self.ANONYMOUS}?ckuid=m1")
                self.assertEqual(reply.status, 500 if answer == "server_error" else 200)
                if answer in ("malformed", "truncated"):
                    self.assertRaises(ValueError, json.loads, reply.body)
                    if answer == "truncated":
                        self.assertEqual(reply.body, complete[:len(complete) // 2])
                    continue
                got = json.loads(reply.body)
                expected = json.loads(complete)
                spoiled = {"wrong_code": {"code": "A00001"}, "huge_count": {"count": 2_000_000_000},
                           "data_not_array": {"data": {"items": expected["data"]}}}
                expected.update(spoiled.get(answer, {}))
                self.assertEqual(got, expected)
        self.assertEqual(json.loads(self.feed(f"{self.SIGNED_IN}?auth=m1").body), self.EMPTY)
        self.emulator.request("POST", "/__emu/reset")
        self.assertEqual(json.loads(self.feed(f"{self.ANONYMOUS}?ckuid=m1").body), self.EMPTY)

    def test_bad_reminder_control_input_is_refused_and_changes_nothing(self):
        for fields in ({}, {"auth": "a", "ckuid": "b"}, {"auth": ""}, {"ckuid": 5},
                       {"auth": "cookie-123", "feed": []}, {"auth": "cookie-123", "answer": "late"},
                       {"auth": "cookie-123", "colour": "red"}):
            with self.subTest(fields):
                status, reply = self.emulator.json("POST", "/__emu/reminders", fields)
                self.assertEqual(status, 400)
                self.assertIn("error", reply)
        feed = json.loads(self.feed(f"{self.SIGNED_IN}?auth=cookie-123").body)
        self.assertEqual(feed["count"], 5)


class BatchTests(EmulatorTestCase):
    """Many pictures and albums in one control request, all stored or none."""

    @staticmethod
    def album(album_id):
        return {"album": album_id, "big_album": catalogue_fields(album_id, f"Batch {album_id}"),
                "latest": latest_fields(album_id, video_count=album_id % 50)}

    @staticmethod
    def picture(album_id):
        return {"path": f"/pictures/batch_{album_id}.jpg", "status": 200, "file": "album_123.jpg"}

    def batch(self, value):
        reply = self.emulator.request("POST", "/__emu/batch", json.dumps(value).encode("utf-8"))
        return reply.status, json.loads(reply.body)

    def test_a_thousand_albums_with_pictures_are_stored_by_one_request(self):
        ids = range(20001, 21001)
        status, answer = self.batch({"pictures": [self.picture(i) for i in ids],
                                     "catalogue": [self.album(i) for i in ids]})
        self.assertEqual((status, answer), (200, {"pictures": 1000, "catalogue": 1000}))
        jpeg = (FIXTURES_DIR / "album_123.jpg").read_bytes()
        for album_id in (20001, 20500, 21000):
            with self.subTest(album_id):
                self.assertEqual(self.emulator.get(f"/pictures/batch_{album_id}.jpg").body, jpeg)
                reply = self.emulator.get(f"/r/dorsa/album/latest/{album_id}/pb/")
                self.assertEqual(decode_complete("LatestVideo", reply.body).video_count, album_id % 50)
                reply = self.emulator.get(f"/r/dorsa/album/b/{album_id}/pb/")
                self.assertEqual(decode_complete("BigAlbum", reply.body).album.name, f"Batch {album_id}")
        self.assertEqual(self.emulator.get("/pictures/batch_21001.jpg").status, 404)

    def test_one_table_alone_and_replacing_fixture_entries(self):
        self.assertEqual(self.batch({"catalogue": [self.album(123)]}), (200, {"catalogue": 1}))
        reply = self.emulator.get("/r/dorsa/album/b/123/pb/")
        self.assertEqual(decode_complete("BigAlbum", reply.body).name, "Batch 123")
        self.assertEqual(self.batch({"pictures": []}), (200, {"pictures": 0}))
        self.assertEqual(len(self.emulator.get("/pictures/ok.jpg").body), 5000)

    def test_a_bad_entry_anywhere_stores_nothing(self):
        good = {"pictures": [self.picture(1), self.picture(2)], "catalogue": [self.album(1), self.album(2)]}
        bad_album = {**self.album(2), "latest": {"album_id": 2}}
        cases = {
            "empty batch": ({}, "give"),
            "unknown table": ({**good, "playhistory": []}, "playhistory"),
            "pictures not a list": ({**good, "pictures": self.picture(1)}, "'pictures'"),
            "last picture without status": (
                {**good, "pictures": [self.picture(1), {"path": "/pictures/batch_2.jpg"}]}, "pictures[1]"),
            "picture not an object": ({**good, "pictures": [self.picture(1), "x"]}, "pictures[1]"),
            "picture outside the fixtures": (
                {**good, "pictures": [{**self.picture(1), "file": "../vxemu.py"}]}, "pictures[0]"),
            "last album lacks a required field": ({**good, "catalogue": [self.album(1), bad_album]}, "catalogue[1]"),
            "album without id": ({**good, "catalogue": [{"latest": latest_fields(3)}]}, "catalogue[0]"),
            "album id as text": ({**good, "catalogue": [{**self.album(1), "album": "1"}]}, "catalogue[0]"),
        }
        for name, (value, mentioned) in cases.items():
            with self.subTest(name):
                status, answer = self.batch(value)
                self.assertEqual(status, 400)
                self.assertIn(mentioned, answer["error"])
                self.assertEqual(self.emulator.get("/pictures/batch_1.jpg").status, 404)
                self.assertEqual(self.emulator.get("/r/dorsa/album/b/1/pb/").status, 404)
        self.assertEqual(self.emulator.request("POST", "/__emu/batch", b"[]").status, 400)


class CatalogueFixtureTests(unittest.TestCase):
    def start(self, catalogue):
        with tempfile.TemporaryDirectory() as folder:
            (Path(folder) / "pictures.json").write_text("{}")
            (Path(folder) / "playhistory.json").write_text("{}")
            if catalogue is not None:
                (Path(folder) / "catalogue.json").write_text(catalogue)
            port_file = Path(folder) / "port"
            result = subprocess.run([PYTHON, str(EMULATOR), "--fixtures", folder, "--port-file", str(port_file)],
                                    capture_output=True, text=True, timeout=10)
            return result, port_file.exists()

    def test_bad_catalogue_tables_stop_the_start_with_a_message(self):
        good = json.dumps(catalogue_fields(5, "Five"))
        cases = {
            "missing": (None, "catalogue.json"),
            "not JSON": ("{", "catalogue.json"),
            "a list": ("[]", "catalogue.json"),
            "key no number": ('{"abc": {"big_album": %s}}' % good, "abc"),
            "bad entry": ('{"5": {"big_album": %s, "answer": "nope"}}' % good, "5"),
            "incomplete message": ('{"6": {"latest": {"album_id": 6}}}', "6"),
        }
        for name, (catalogue, mentioned) in cases.items():
            with self.subTest(name):
                result, listening = self.start(catalogue)
                self.assertEqual(result.returncode, 2)
                self.assertIn(mentioned, result.stderr)
                self.assertFalse(listening)

    def test_a_missing_schema_stops_the_start_with_a_message(self):
        with tempfile.TemporaryDirectory() as copy:
            emulator = Path(copy) / "tools" / "emulator" / "vxemu.py"  # no PB/ beside this tree
            emulator.parent.mkdir(parents=True)
            shutil.copy2(EMULATOR, emulator)
            result = subprocess.run([PYTHON, str(emulator), "--fixtures", str(FIXTURES_DIR), "--port-file",
                                     str(Path(copy) / "port")], capture_output=True, text=True, timeout=10)
            self.assertEqual(result.returncode, 2)
            self.assertIn("cannot generate the catalogue classes", result.stderr)
            self.assertFalse((Path(copy) / "port").exists())


class CommandLineTests(unittest.TestCase):
    def test_port_file_holds_the_listening_port(self):
        emulator = Emulator()
        self.addCleanup(emulator.stop)
        self.assertRegex(emulator.port_file.read_text(), r"\A[0-9]+\n\Z")
        self.assertEqual(emulator.get("/__emu/health").body, b"ok")

    def test_quiet_by_default_and_clean_exit_on_stop_signals(self):
        for signum in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=signum.name):
                emulator = Emulator()
                emulator.get("/pictures/ok.jpg")
                emulator.get("/pictures/nothing.jpg")
                idle = emulator.connect()  # an open keep-alive connection must not delay the exit
                exchange(idle, "GET", "/__emu/health")
                started = time.monotonic()
                status, stderr = emulator.stop(signum)
                idle.close()
                self.assertEqual((status, stderr), (0, ""))
                self.assertLess(time.monotonic() - started, 3)

    def test_bad_fixtures_stop_the_start_with_a_message(self):
        good_history = '{"c": []}'
        cases = {
            "pictures not JSON": ("{", good_history, "pictures.json"),
            "bad picture entry": ('{"/pictures/a.jpg": {"status": "ok"}}', good_history,
                                  "/pictures/a.jpg"),
            "history not a table": ("{}", "[]", "playhistory.json"),
            "history missing": ("{}", None, "playhistory.json"),
        }
        for name, (pictures, history, mentioned) in cases.items():
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                (Path(folder) / "pictures.json").write_text(pictures)
                if history is not None:
                    (Path(folder) / "playhistory.json").write_text(history)
                port_file = Path(folder) / "port"
                result = subprocess.run(
                    [PYTHON, str(EMULATOR), "--fixtures", folder, "--port-file", str(port_file)],
                    capture_output=True, text=True, timeout=10)
                self.assertEqual(result.returncode, 2)
                self.assertIn(mentioned, result.stderr)
                self.assertFalse(port_file.exists())


FIND_EMULATOR = """
import os
for entry in os.listdir('/proc'):
    if not entry.isdigit() or int(entry) == os.getpid():
        continue
    try:
        stat = open(f'/proc/{entry}/stat').read()
        arguments = open(f'/proc/{entry}/cmdline', 'rb').read().split(b'\\0')
    except OSError:
        continue
    parent = int(stat.rsplit(')', 1)[1].split()[1])
    if parent == os.getppid() and any(a.endswith(b'/vxemu.py') for a in arguments):
        print(entry)
print(os.environ['VXTAILCAST_SERVICE_URL'])
"""


class WithEmulatorScriptTests(unittest.TestCase):
    def run_script(self, *command, script=WITH_EMULATOR):
        with tempfile.TemporaryDirectory() as elsewhere:  # not the repository
            return subprocess.run([str(script), *command], cwd=elsewhere, capture_output=True,
                                  text=True, timeout=20)

    def test_command_reaches_the_running_emulator(self):
        result = self.run_script(PYTHON, "-c", "import os, urllib.request; "
                                 "url = os.environ['VXTAILCAST_SERVICE_URL']; print(url); "
                                 "print(urllib.request.urlopen(url + '/__emu/health').read())")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertRegex(result.stdout, r"\Ahttp://127\.0\.0\.1:[0-9]+\nb'ok'\n\Z")

    def test_exit_status_of_the_command_is_kept(self):
        self.assertEqual(self.run_script("/bin/sh", "-c", "exit 7").returncode, 7)

    def test_no_emulator_is_left_behind(self):
        result = self.run_script(PYTHON, "-c", FIND_EMULATOR)
        self.assertEqual(result.returncode, 0, result.stderr)
        *pids, url = result.stdout.split()
        self.assertEqual(len(pids), 1, result.stdout)
        stat = Path(f"/proc/{pids[0]}/stat")
        self.assertFalse(stat.exists() and ") Z " not in stat.read_text(), "emulator still running")
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", int(url.rsplit(":", 1)[1])), timeout=2).close()

    def test_emulator_failing_to_start_is_reported_and_the_command_not_run(self):
        with tempfile.TemporaryDirectory() as copy:
            tools = Path(copy) / "tools"
            (tools / "emulator").mkdir(parents=True)
            shutil.copy2(WITH_EMULATOR, tools)
            (tools / "emulator" / "vxemu.py").write_text("import sys\nsys.exit(3)\n")
            marker = Path(copy) / "ran"
            result = self.run_script("/usr/bin/touch", str(marker),
                                     script=tools / "with-emulator.sh")
            self.assertNotEqual(result.returncode, 0)
            self.assertRegex(result.stderr, r"with-emulator: .*status 3")
            self.assertFalse(marker.exists())

    def test_no_command_is_a_usage_error(self):
        result = self.run_script()
        self.assertEqual(result.returncode, 2)
        self.assertIn("usage", result.stderr)


if __name__ == "__main__":
    unittest.main()
