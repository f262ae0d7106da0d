#!/usr/bin/python3
"""Loopback emulator of the Vexo services VXTailcast talks to.

Serves pictures, the pingback sink, the play-history list, the catalogue (protocol-buffer
answers) and the update-reminder feed from the fixture tables, records every service request it
receives, and answers control requests under /__emu/ with which tests read the record and change
what the services answer. On demand it plays a dead service: it takes the connections and the
requests and never answers them.

    vxemu.py [--port N] [--port-file PATH] [--fixtures DIR] [--verbose]

It listens on 127.0.0.1 only. Once listening it writes its port to --port-file (written beside
and renamed into place, so a reader never sees half a number). SIGTERM or SIGINT ends it.
"""

import argparse
import functools
import importlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback
from dataclasses import dataclass, field
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from typing import Callable
from urllib.parse import unquote, urlsplit

CONTROL_PREFIX = "/__emu/"
PICTURE_PREFIX = "/pictures/"
PINGBACK_PREFIX = "/tailcast/pingback"
PLAY_HISTORY_PATH = "/apis/playrecord/list"
AUTH_COOKIE = "vxauth"
CATALOGUE_PREFIX = "/r/dorsa/album/"
CATALOGUE_PATH = re.compile(r"/r/dorsa/album/(b|latest)/(-?[0-9]{1,10})/pb/")
# The reminder feed: the signed-in endpoint takes the login cookie as "auth", the anonymous one
# the machine id as "ckuid", both in the query.
REMINDER_PATHS = {"/apis/vexorc/getUpdateReminder": "auth", "/apis/urc/getUpdateReminder": "ckuid"}
SCHEMA_DIR = Path(__file__).resolve().parents[2] / "PB"
SCHEMA_FILES = ("video.proto", "album.proto")

MAX_BODY_BYTES = 64 * 1024 * 1024  # largest generated answer and largest request body accepted
MAX_DELAY_MS = 60_000
HOLD_POLL_S = 0.1  # how often a held request looks whether the emulator is stopping
NO_BODY_STATUSES = frozenset({204, 304})
PATTERN = bytes(range(251))  # generated bodies: byte i is i % 251
DIGITS = re.compile(r"[0-9]+")

TEXT = "text/plain; charset=utf-8"
JSON = "application/json; charset=utf-8"
BINARY = "application/octet-stream"
PROTOBUF = "application/x-protobuf"


class BadInput(Exception):
    """Input the emulator refuses. Answered 400 before any state changes."""


class BadFraming(Exception):
    """A request whose body cannot be read. Answered 400 and the connection is closed."""


class FixtureError(Exception):
    """A fixture table that cannot be loaded."""


class SchemaError(Exception):
    """The catalogue's message classes cannot be generated from the schema."""


@dataclass(frozen=True)
class Request:
    method: str
    path: str  # as sent, without the query
    query: dict  # name -> first value, percent-decoded
    headers: dict  # lower-case name -> value
    body: bytes

    def logged(self):
        return {
            "method": self.method,
            "path": self.path,
            "query": dict(self.query),
            "headers": dict(self.headers),
            "body": self.body.decode("utf-8", errors="replace"),
        }


@dataclass(frozen=True)
class Response:
    status: int
    body: bytes = b""
    content_type: str = TEXT
    headers: dict = field(default_factory=dict)


@dataclass(frozen=True)
class Picture:
    status: int
    content_type: str
    body: bytes


def pattern_bytes(size):
    whole, rest = divmod(size, len(PATTERN))
    return PATTERN * whole + PATTERN[:rest]


def text_response(status, text):
    return Response(status, text.encode("utf-8"))


def json_response(status, value):
    return Response(status, json.dumps(value, ensure_ascii=False).encode("utf-8"), JSON)


def error_response(status, message):
    return json_response(status, {"error": message})


# ---------------------------------------------------------------------------------------------
# Reading requests

def parse_query(query):
    """Query parameters, first value of each name, strictly percent-decoded ('+' stays '+')."""
    values = {}
    for part in query.split("&"):
        if part:
            name, _, value = part.partition("=")
            values.setdefault(unquote(name), unquote(value))
    return values


def split_target(target):
    if target.startswith("/"):
        path, _, query = target.partition("?")
        return path, query
    parts = urlsplit(target)  # absolute form, as sent to a proxy
    return parts.path or "/", parts.query


def header_dict(message):
    headers = {}
    for name, value in message.items():
        key = name.lower()
        if key in headers:
            separator = "; " if key == "cookie" else ", "
            headers[key] = headers[key] + separator + value
        else:
            headers[key] = value
    return headers


def query_int(request, name, low, high, default=None):
    raw = request.query.get(name)
    if raw is None:
        if default is None:
            raise BadInput(f"query parameter '{name}' is required")
        return default
    if not DIGITS.fullmatch(raw) or not low <= int(raw) <= high:
        raise BadInput(f"query parameter '{name}' must be an integer from {low} to {high}")
    return int(raw)


def reject_constant(name):
    raise ValueError(f"{name} is not allowed")


def json_object_body(request):
    try:
        value = json.loads(request.body.decode("utf-8"), parse_constant=reject_constant)
    except UnicodeDecodeError:
        raise BadInput("the body is not UTF-8") from None
    except ValueError as error:
        raise BadInput(f"the body is not JSON: {error}") from None
    if not isinstance(value, dict):
        raise BadInput("the body must be a JSON object")
    return value


def reject_unknown_fields(fields, known, what):
    unknown = sorted(set(fields) - set(known))
    if unknown:
        raise BadInput(f"unknown {what} field(s): {', '.join(unknown)}")


def require_int(value, name, low, high):
    if isinstance(value, bool) or not isinstance(value, int) or not low <= value <= high:
        raise BadInput(f"'{name}' must be an integer from {low} to {high}")
    return value


# ---------------------------------------------------------------------------------------------
# Fixture tables: what each service answers. Loaded from the fixtures folder, changed by the
# control endpoints, reloaded by a reset.

def check_service_path(path):
    if not isinstance(path, str) or not path.startswith("/"):
        raise BadInput("'path' must be a string starting with '/'")
    if path.startswith(CONTROL_PREFIX):
        raise BadInput(f"'path' must not be under {CONTROL_PREFIX}")
    if not path.isprintable() or any(c in path for c in " ?#"):
        raise BadInput("'path' must be a plain path without spaces, query or fragment")
    return path


def read_fixture_file(name, fixtures_dir):
    if not isinstance(name, str) or not name:
        raise BadInput("'file' must be a non-empty string")
    base = fixtures_dir.resolve()
    target = (base / name).resolve()
    if base not in target.parents:
        raise BadInput(f"'file' {name!r} is outside the fixtures folder")
    try:
        data = target.read_bytes()
    except OSError as error:
        raise BadInput(f"cannot read 'file' {name!r}: {error.strerror}") from None
    if len(data) > MAX_BODY_BYTES:
        raise BadInput(f"'file' {name!r} is larger than {MAX_BODY_BYTES} bytes")
    return data


def parse_picture(fields, fixtures_dir):
    if not isinstance(fields, dict):
        raise BadInput("a picture entry must be a JSON object")
    reject_unknown_fields(fields, ("status", "size", "type", "file"), "picture")
    if "status" not in fields:
        raise BadInput("'status' is required")
    status = require_int(fields["status"], "status", 200, 599)
    content_type = fields.get("type", "image/jpeg")
    if not isinstance(content_type, str) or not content_type.isascii() \
            or not content_type.isprintable() or not content_type.strip():
        raise BadInput("'type' must be a non-empty printable ASCII string")
    if "file" in fields and "size" in fields:
        raise BadInput("give 'size' or 'file', not both")
    if "file" in fields:
        body = read_fixture_file(fields["file"], fixtures_dir)
    else:
        body = pattern_bytes(require_int(fields.get("size", 0), "size", 0, MAX_BODY_BYTES))
    if status in NO_BODY_STATUSES and body:
        raise BadInput(f"a {status} picture has no body")
    if status == 206 and not body:
        raise BadInput("a 206 picture needs at least one byte")
    return Picture(status, content_type, body)


def parse_records(records):
    if not isinstance(records, list) or not all(isinstance(r, dict) for r in records):
        raise BadInput("'records' must be a list of JSON objects")
    return records


def check_cookie(cookie):
    if not isinstance(cookie, str) or not cookie:
        raise BadInput("'cookie' must be a non-empty string")
    return cookie


def load_picture_table(document, fixtures_dir):
    if not isinstance(document, dict):
        raise BadInput("the table must be a JSON object keyed by path")
    table = {}
    for path, fields in document.items():
        try:
            table[check_service_path(path)] = parse_picture(fields, fixtures_dir)
        except BadInput as error:
            raise BadInput(f"{path}: {error}") from None
    return table


def load_play_history_table(document, fixtures_dir):
    if not isinstance(document, dict):
        raise BadInput("the table must be a JSON object keyed by cookie")
    table = {}
    for cookie, records in document.items():
        try:
            table[check_cookie(cookie)] = parse_records(records)
        except BadInput as error:
            raise BadInput(f"{cookie}: {error}") from None
    return table


# The catalogue's messages come from the same schema files as the program's classes: protoc
# generates Python classes from PB/*.proto into a temporary folder, imported once per process.

@functools.cache
def catalogue_classes():
    """The generated module of album.proto (its messages: BigAlbum, LatestVideo, ...)."""
    protoc = shutil.which("protoc") or "/usr/bin/protoc"
    with tempfile.TemporaryDirectory(prefix="vxemu-pb-") as folder:
        try:
            result = subprocess.run([protoc, f"--proto_path={SCHEMA_DIR}", f"--python_out={folder}",
                                     *SCHEMA_FILES], capture_output=True, text=True, timeout=60)
        except (OSError, subprocess.TimeoutExpired) as error:
            raise SchemaError(f"cannot run {protoc}: {error}") from None
        if result.returncode != 0:
            raise SchemaError(result.stderr.strip() or f"{protoc} exited with {result.returncode}")
        sys.path.insert(0, folder)
        writes_bytecode, sys.dont_write_bytecode = sys.dont_write_bytecode, True
        try:
            return importlib.import_module("album_pb2")
        except Exception as error:  # no protobuf runtime, or one that does not fit the code
            raise SchemaError(f"cannot import the generated classes: {error!r}") from None
        finally:
            sys.dont_write_bytecode = writes_bytecode
            sys.path.remove(folder)


# How an album's answers are sent. "complete" and "missing_required" send the encoding as it
# is (the latter is the only one that may lack required fields); the others spoil it.
CATALOGUE_ANSWERS = ("complete", "truncated", "garbage", "missing_required", "empty", "trailing_garbage")
GARBAGE = b"<html><body>502 Bad Gateway</body></html>\n"  # '<' starts no field: no message
# endpoint in the path -> (entry field, message name)
CATALOGUE_ENDPOINTS = {"b": ("big_album", "BigAlbum"), "latest": ("latest", "LatestVideo")}
MIN_ALBUM_ID = -2**31  # the latest-episode path carries the id signed,
MAX_ALBUM_ID = 2**32 - 1  # the album-information path unsigned


@dataclass(frozen=True)
class CatalogueEntry:
    status: int
    answer: str
    bodies: dict  # entry field ("big_album", "latest") -> answer body; absent: 404


def spoiled(encoded, answer):
    if answer == "truncated":
        return encoded[:len(encoded) // 2]
    if answer == "garbage":
        return GARBAGE
    if answer == "empty":
        return b""
    if answer == "trailing_garbage":
        return encoded + GARBAGE
    return encoded


def catalogue_message(name, value, what):
    from google.protobuf import json_format  # the runtime of the generated classes, there once they are
    message = getattr(catalogue_classes(), name)()
    if not isinstance(value, dict):
        raise BadInput(f"'{what}' must be a JSON object of {name} fields")
    try:
        json_format.ParseDict(value, message)
    except json_format.ParseError as error:
        raise BadInput(f"'{what}': {error}") from None
    return message


def parse_catalogue_entry(fields):
    if not isinstance(fields, dict):
        raise BadInput("a catalogue entry must be a JSON object")
    reject_unknown_fields(fields, ("big_album", "latest", "answer", "status"), "catalogue")
    answer = fields.get("answer", "complete")
    if answer not in CATALOGUE_ANSWERS:
        raise BadInput(f"'answer' must be one of {', '.join(CATALOGUE_ANSWERS)}")
    status = require_int(fields.get("status", 200), "status", 200, 599)
    if status in NO_BODY_STATUSES and answer != "empty":
        raise BadInput(f"a {status} answer has no body: give 'answer': 'empty'")
    messages = {field: catalogue_message(name, fields[field], field)
                for field, name in CATALOGUE_ENDPOINTS.values() if field in fields}
    if not messages:
        raise BadInput("give 'big_album', 'latest' or both")
    missing = {field: message.FindInitializationErrors() for field, message in messages.items()}
    if answer == "missing_required":
        if not any(missing.values()):
            raise BadInput("'missing_required' needs a message that lacks a required field")
    else:
        for field, names in missing.items():
            if names:
                raise BadInput(f"'{field}' lacks required field(s): {', '.join(names)}")
    bodies = {field: spoiled(message.SerializePartialToString(), answer) for field, message in messages.items()}
    return CatalogueEntry(status, answer, bodies)


def check_album_id(value):
    if isinstance(value, bool) or not isinstance(value, int) or not MIN_ALBUM_ID <= value <= MAX_ALBUM_ID:
        raise BadInput(f"an album id must be an integer from {MIN_ALBUM_ID} to {MAX_ALBUM_ID}")
    return value


def load_catalogue_table(document, fixtures_dir):
    if not isinstance(document, dict):
        raise BadInput("the table must be a JSON object keyed by album id")
    table = {}
    for album, fields in document.items():
        try:
            key = int(album) if re.fullmatch(r"-?[0-9]{1,10}", album) else album
            table[check_album_id(key)] = parse_catalogue_entry(fields)
        except BadInput as error:
            raise BadInput(f"{album}: {error}") from None
    return table


# The reminder feed, per login cookie ("auth") and per machine id ("ckuid"). An entry is the
# feed document answered and how it is sent: well-formed, or spoiled in one named way.
REMINDER_KINDS = ("auth", "ckuid")
REMINDER_ANSWERS = ("complete", "wrong_code", "malformed", "truncated", "data_not_array", "huge_count",
                    "server_error")
EMPTY_FEED = {"code": "A00000", "count": 0, "data": []}
# A comma missing between two members: no reader takes it (a trailing comma, some do).
MALFORMED_FEED = b'{"code":"A00000","count":1,"data":[{"albumId":123 "channelId":2}]}'
HUGE_COUNT = 2_000_000_000
# Written in a feed's texts, replaced by the emulator's own origin ("http://host:port") in each
# answer, so that a feed's picture addresses lead back to the emulator on whatever port it has.
ORIGIN_PLACEHOLDER = "{origin}"


@dataclass(frozen=True)
class ReminderEntry:
    answer: str
    feed: dict

    def status(self):
        return 500 if self.answer == "server_error" else 200

    def body(self, origin):
        feed = dict(self.feed)
        if self.answer == "malformed":
            return MALFORMED_FEED
        if self.answer == "wrong_code":
            feed["code"] = "A00001"
        elif self.answer == "data_not_array":
            feed["data"] = {"items": feed.get("data")}
        elif self.answer == "huge_count":
            feed["count"] = HUGE_COUNT
        text = json.dumps(feed, ensure_ascii=False)
        if origin:  # escaped as a JSON string's contents, whatever the Host header held
            text = text.replace(ORIGIN_PLACEHOLDER, json.dumps(origin, ensure_ascii=False)[1:-1])
        encoded = text.encode("utf-8")
        return encoded[:len(encoded) // 2] if self.answer == "truncated" else encoded


def parse_reminder_entry(fields):
    if not isinstance(fields, dict):
        raise BadInput("a reminder entry must be a JSON object")
    reject_unknown_fields(fields, ("feed", "answer"), "reminder")
    answer = fields.get("answer", "complete")
    if answer not in REMINDER_ANSWERS:
        raise BadInput(f"'answer' must be one of {', '.join(REMINDER_ANSWERS)}")
    feed = fields.get("feed", EMPTY_FEED)
    if not isinstance(feed, dict):
        raise BadInput("'feed' must be a JSON object (the answer's document)")
    return ReminderEntry(answer, feed)


def check_reminder_key(value, kind):
    if not isinstance(value, str) or not value:
        raise BadInput(f"'{kind}' must be a non-empty string")
    return value


def load_reminder_table(document, fixtures_dir):
    if not isinstance(document, dict):
        raise BadInput("the table must be a JSON object with 'auth' and 'ckuid' tables")
    reject_unknown_fields(document, REMINDER_KINDS, "reminder table")
    table = {}
    for kind in REMINDER_KINDS:
        entries = document.get(kind, {})
        if not isinstance(entries, dict):
            raise BadInput(f"'{kind}' must be a JSON object keyed by {kind}")
        for key, fields in entries.items():
            try:
                table[(kind, check_reminder_key(key, kind))] = parse_reminder_entry(fields)
            except BadInput as error:
                raise BadInput(f"{kind} {key}: {error}") from None
    return table


# name -> (file in the fixtures folder, loader(document, fixtures_dir) -> table)
FIXTURE_TABLES = {
    "pictures": ("pictures.json", load_picture_table),
    "playhistory": ("playhistory.json", load_play_history_table),
    "catalogue": ("catalogue.json", load_catalogue_table),
    "reminders": ("reminders.json", load_reminder_table),
}


def load_fixtures(fixtures_dir):
    tables = {}
    for name, (file_name, load) in FIXTURE_TABLES.items():
        path = fixtures_dir / file_name
        try:
            document = json.loads(path.read_text(encoding="utf-8"), parse_constant=reject_constant)
            tables[name] = load(document, fixtures_dir)
        except OSError as error:
            raise FixtureError(f"{path}: {error.strerror}") from None
        except (ValueError, BadInput) as error:  # JSONDecodeError and UnicodeDecodeError too
            raise FixtureError(f"{path}: {error}") from None
    return tables


class EmulatorState:
    """Everything the emulator knows: the tables, the request log and whether the service is
    silent. Safe across threads."""

    def __init__(self, fixtures_dir):
        self.fixtures_dir = fixtures_dir
        self.stopping = threading.Event()  # set on shutdown; wakes delayed and held answers
        self._lock = threading.Lock()
        self._tables = load_fixtures(fixtures_dir)
        self._log = []
        self._outage = None
        self._released = None  # while the service is silent: set when the silence is lifted

    def reset(self):
        tables = load_fixtures(self.fixtures_dir)  # fails before anything changes
        with self._lock:
            self._tables = tables
            self._log = []
            self._outage = None
        self.lift_silence()

    def outage(self):
        """None while the service answers; else {"mode": "drop"} or {"mode": "status", "status": N}."""
        with self._lock:
            return self._outage

    def set_outage(self, outage):
        with self._lock:
            self._outage = outage

    def silence(self):
        with self._lock:
            if self._released is None:
                self._released = threading.Event()

    def lift_silence(self):
        """Every held connection is closed unanswered."""
        with self._lock:
            released, self._released = self._released, None
        if released is not None:
            released.set()

    def silenced(self):
        """While the service is silent, the event that its lifting sets; else None."""
        with self._lock:
            return self._released

    def lookup(self, table, key):
        with self._lock:
            return self._tables[table].get(key)

    def put(self, table, key, value):
        with self._lock:
            self._tables[table][key] = value

    def put_many(self, entries):
        """entries: table name -> [(key, value), ...], stored together."""
        with self._lock:
            for table, items in entries.items():
                self._tables[table].update(items)

    def record(self, entry):
        with self._lock:
            self._log.append(entry)

    def requests(self, prefix=""):
        with self._lock:
            return [e for e in self._log if e["path"].startswith(prefix)]

    def clear_requests(self, prefix=""):
        with self._lock:
            kept = [e for e in self._log if not e["path"].startswith(prefix)]
            cleared = len(self._log) - len(kept)
            self._log = kept
        return cleared


# ---------------------------------------------------------------------------------------------
# Service: pictures

def find_picture(state, path):
    return state.lookup("pictures", path) or state.lookup("pictures", unquote(path))


def is_known_picture(state, request):
    return find_picture(state, request.path) is not None


def serve_picture(state, request):
    picture = find_picture(state, request.path)
    if picture is None:  # replaced by a reset since the route matched
        return no_such_picture(state, request)
    headers = {}
    if picture.status == 206:
        size = len(picture.body)
        headers["Content-Range"] = f"bytes 0-{size - 1}/{size * 2}"
    return Response(picture.status, picture.body, picture.content_type, headers)


def no_such_picture(state, request):
    return text_response(404, "no such picture")


# ---------------------------------------------------------------------------------------------
# Service: pingback sink. The request log is the record; the answer is always the same.

def answer_pingback(state, request):
    return text_response(200, "ok")


# ---------------------------------------------------------------------------------------------
# Service: play history

def auth_cookie(headers):
    for part in headers.get("cookie", "").split(";"):
        name, separator, value = part.partition("=")
        if separator and name.strip() == AUTH_COOKIE:
            value = value.strip()
            if len(value) >= 2 and value[0] == value[-1] == '"':
                value = value[1:-1]
            return unquote(value)
    return None


def parse_limit(raw):
    return int(raw) if raw is not None and DIGITS.fullmatch(raw) else None


def answer_play_history(state, request):
    cookie = auth_cookie(request.headers)
    records = state.lookup("playhistory", cookie) if cookie is not None else None
    if records is None:
        return json_response(200, {"code": "E00001", "msg": "not logged in", "data": []})
    limit = parse_limit(request.query.get("limit"))
    return json_response(200, {"code": "A00000", "data": records[:limit]})


# ---------------------------------------------------------------------------------------------
# Service: catalogue. "/r/dorsa/album/b/<id>/pb/" answers the album's BigAlbum and
# "/r/dorsa/album/latest/<id>/pb/" its LatestVideo, spoiled as the album's entry says.

def answer_catalogue(state, request):
    match = CATALOGUE_PATH.fullmatch(request.path)
    if match is None:
        return text_response(404, f"no such catalogue question: {request.path}")
    endpoint, album = match.groups()
    entry = state.lookup("catalogue", int(album))
    field, _ = CATALOGUE_ENDPOINTS[endpoint]
    if entry is None or field not in entry.bodies:
        return text_response(404, f"no such album: {album}")
    return Response(entry.status, entry.bodies[field], PROTOBUF)


# ---------------------------------------------------------------------------------------------
# Service: update-reminder feed. An unknown cookie or machine id (or none) gets a well-formed,
# empty feed.

def answer_reminders(state, request):
    kind = REMINDER_PATHS[request.path]
    key = request.query.get(kind)
    entry = state.lookup("reminders", (kind, key)) if key else None
    if entry is None:
        entry = ReminderEntry("complete", EMPTY_FEED)
    host = request.headers.get("host", "")
    origin = f"http://{host}" if host and host.isprintable() and " " not in host else ""
    return Response(entry.status(), entry.body(origin), JSON)


# ---------------------------------------------------------------------------------------------
# Control endpoints

def control_health(state, request):
    return text_response(200, "ok")


def control_list_requests(state, request):
    return json_response(200, state.requests(request.query.get("prefix", "")))


def control_clear_requests(state, request):
    return json_response(200, {"cleared": state.clear_requests(request.query.get("prefix", ""))})


def control_list_pingbacks(state, request):
    return json_response(200, state.requests(PINGBACK_PREFIX))


def control_clear_pingbacks(state, request):
    return json_response(200, {"cleared": state.clear_requests(PINGBACK_PREFIX)})


def picture_entry(fields, fixtures_dir):
    """(path, Picture) from a control request's picture fields."""
    if not isinstance(fields, dict):
        raise BadInput("a picture entry must be a JSON object")
    if "path" not in fields:
        raise BadInput("'path' is required")
    fields = dict(fields)
    path = check_service_path(fields.pop("path"))
    return path, parse_picture(fields, fixtures_dir)


def catalogue_entry(fields):
    """(album id, CatalogueEntry) from a control request's catalogue fields."""
    if not isinstance(fields, dict):
        raise BadInput("a catalogue entry must be a JSON object")
    if "album" not in fields:
        raise BadInput("'album' is required")
    fields = dict(fields)
    album = check_album_id(fields.pop("album"))
    return album, parse_catalogue_entry(fields)


def control_put_picture(state, request):
    path, picture = picture_entry(json_object_body(request), state.fixtures_dir)
    state.put("pictures", path, picture)
    return json_response(200, {"path": path, "status": picture.status,
                               "type": picture.content_type, "size": len(picture.body)})


def control_put_play_history(state, request):
    fields = json_object_body(request)
    reject_unknown_fields(fields, ("cookie", "records"), "play-history")
    for name in ("cookie", "records"):
        if name not in fields:
            raise BadInput(f"'{name}' is required")
    cookie = check_cookie(fields["cookie"])
    records = parse_records(fields["records"])
    state.put("playhistory", cookie, records)
    return json_response(200, {"cookie": cookie, "count": len(records)})


def control_put_catalogue(state, request):
    album, entry = catalogue_entry(json_object_body(request))
    state.put("catalogue", album, entry)
    sizes = {field: len(entry.bodies[field]) if field in entry.bodies else None
             for field, _ in CATALOGUE_ENDPOINTS.values()}
    return json_response(200, {"album": album, "status": entry.status, "answer": entry.answer, **sizes})


def control_put_reminders(state, request):
    fields = json_object_body(request)
    kinds = [kind for kind in REMINDER_KINDS if kind in fields]
    if len(kinds) != 1:
        raise BadInput("give exactly one of 'auth' (a login cookie) and 'ckuid' (a machine id)")
    kind = kinds[0]
    key = check_reminder_key(fields.pop(kind), kind)
    entry = parse_reminder_entry(fields)
    state.put("reminders", (kind, key), entry)
    return json_response(200, {kind: key, "answer": entry.answer, "status": entry.status(),
                               "size": len(entry.body(""))})


# Many pictures and catalogue entries in one request, each as its own control request gives
# it; every entry is checked before any is stored, so a bad one anywhere changes nothing.
BATCH_TABLES = ("pictures", "catalogue")


def control_batch(state, request):
    fields = json_object_body(request)
    reject_unknown_fields(fields, BATCH_TABLES, "batch")
    if not fields:
        raise BadInput("give 'pictures', 'catalogue' or both")
    parsers = {"pictures": lambda item: picture_entry(item, state.fixtures_dir), "catalogue": catalogue_entry}
    entries = {}
    for table, items in fields.items():
        if not isinstance(items, list):
            raise BadInput(f"'{table}' must be a list of entries")
        entries[table] = []
        for index, item in enumerate(items):
            try:
                entries[table].append(parsers[table](item))
            except BadInput as error:
                raise BadInput(f"{table}[{index}]: {error}") from None
    state.put_many(entries)
    return json_response(200, {table: len(items) for table, items in entries.items()})


def control_outage(state, request):
    fields = json_object_body(request)
    reject_unknown_fields(fields, {"mode", "status"}, "outage")
    mode = fields.get("mode")
    if mode == "off":
        state.set_outage(None)
    elif mode == "drop":
        state.set_outage({"mode": "drop"})
    elif mode == "status":
        state.set_outage({"mode": "status", "status": require_int(fields.get("status", 503), "status", 400, 599)})
    else:
        raise BadInput('outage "mode" must be "off", "drop" or "status"')
    return json_response(200, {"mode": mode})


def control_reset(state, request):
    try:
        state.reset()
    except FixtureError as error:
        return error_response(500, f"reset failed, nothing changed: {error}")
    return json_response(200, {"ok": True})


def control_echo(state, request):
    return json_response(200, request.logged())


def control_delay(state, request):
    delay_ms = query_int(request, "ms", 0, MAX_DELAY_MS)
    size = query_int(request, "size", 0, MAX_BODY_BYTES, default=0)
    state.stopping.wait(delay_ms / 1000)
    return Response(200, pattern_bytes(size), BINARY)


def control_silence(state, request):
    state.silence()
    return json_response(200, {"silent": True})


def control_lift_silence(state, request):
    state.lift_silence()
    return json_response(200, {"silent": False})


def control_status(state, request):
    status = query_int(request, "code", 200, 599)
    size = query_int(request, "size", 0, MAX_BODY_BYTES, default=0)
    body = b"" if status in NO_BODY_STATUSES else pattern_bytes(size)
    return Response(status, body, BINARY)


# ---------------------------------------------------------------------------------------------
# Route table. The first route whose path matches and which allows the method answers; a path
# that matches only routes of other methods gets 405. HEAD is answered as GET without the body.
# A further service is one more group of routes and, when it needs data, one more entry in
# FIXTURE_TABLES.

@dataclass(frozen=True)
class Route:
    methods: tuple
    matches: Callable  # (state, request) -> bool
    handler: Callable  # (state, request) -> Response


def exact(path):
    return lambda state, request: request.path == path


def starts_with(prefix):
    return lambda state, request: request.path.startswith(prefix)


CONTROL_ROUTES = (
    Route(("GET",), exact("/__emu/health"), control_health),
    Route(("GET",), exact("/__emu/requests"), control_list_requests),
    Route(("DELETE",), exact("/__emu/requests"), control_clear_requests),
    Route(("GET",), exact("/__emu/pingbacks"), control_list_pingbacks),
    Route(("DELETE",), exact("/__emu/pingbacks"), control_clear_pingbacks),
    Route(("POST",), exact("/__emu/pictures"), control_put_picture),
    Route(("POST",), exact("/__emu/playhistory"), control_put_play_history),
    Route(("POST",), exact("/__emu/catalogue"), control_put_catalogue),
    Route(("POST",), exact("/__emu/reminders"), control_put_reminders),
    Route(("POST",), exact("/__emu/batch"), control_batch),
    Route(("POST",), exact("/__emu/outage"), control_outage),
    Route(("POST",), exact("/__emu/reset"), control_reset),
    Route(("GET", "POST"), exact("/__emu/echo"), control_echo),
    Route(("GET",), exact("/__emu/delay"), control_delay),
    Route(("GET",), exact("/__emu/status"), control_status),
    Route(("POST",), exact("/__emu/silence"), control_silence),
    Route(("DELETE",), exact("/__emu/silence"), control_lift_silence),
)

PICTURE_ROUTES = (
    Route(("GET",), is_known_picture, serve_picture),
    Route(("GET",), starts_with(PICTURE_PREFIX), no_such_picture),
)

PINGBACK_ROUTES = (
    Route(("GET", "POST"), starts_with(PINGBACK_PREFIX), answer_pingback),
)

PLAY_HISTORY_ROUTES = (
    Route(("GET",), exact(PLAY_HISTORY_PATH), answer_play_history),
)

CATALOGUE_ROUTES = (
    Route(("GET",), starts_with(CATALOGUE_PREFIX), answer_catalogue),
)

REMINDER_ROUTES = (
    Route(("GET", "POST"), lambda state, request: request.path in REMINDER_PATHS, answer_reminders),
)

ROUTES = CONTROL_ROUTES + PICTURE_ROUTES + PINGBACK_ROUTES + PLAY_HISTORY_ROUTES + CATALOGUE_ROUTES + REMINDER_ROUTES


def is_control(request):
    return request.path.startswith(CONTROL_PREFIX)


def refusal(request, status, message):
    return error_response(status, message) if is_control(request) else text_response(status, message)


def dispatch(state, request):
    method = "GET" if request.method == "HEAD" else request.method
    candidates = [route for route in ROUTES if route.matches(state, request)]
    for route in candidates:
        if method in route.methods:
            return route.handler(state, request)
    if not candidates:
        return refusal(request, 404, f"not found: {request.path}")
    methods = {m for route in candidates for m in route.methods}
    allowed = ", ".join(sorted(methods | ({"HEAD"} if "GET" in methods else set())))
    response = refusal(request, 405, f"{request.method} not allowed here; allowed: {allowed}")
    return Response(response.status, response.body, response.content_type, {"Allow": allowed})


def answer(state, request):
    try:
        return dispatch(state, request)
    except BadInput as error:
        return error_response(400, str(error))
    except Exception as error:  # a fault of the emulator: report it, keep serving
        traceback.print_exc()
        return error_response(500, f"emulator fault: {error!r}")


# ---------------------------------------------------------------------------------------------
# HTTP plumbing

class EmulatorRequestHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "VXEmu/1"
    timeout = 30  # idle keep-alive connections are closed after this many seconds
    # Headers and body leave in two writes; with Nagle on, the body of a reused connection would
    # wait for the client's delayed acknowledgement (about 40 ms), which no real service adds.
    disable_nagle_algorithm = True

    def do_GET(self):
        self.serve()

    do_HEAD = do_POST = do_PUT = do_DELETE = do_PATCH = do_OPTIONS = do_GET

    def serve(self):
        try:
            request = self.read_request()
        except BadFraming as error:
            self.close_connection = True
            self.send(text_response(400, str(error)))
            return
        state = self.server.state
        if not is_control(request):
            state.record(request.logged())
            released = state.silenced()
            if released is not None:
                self.hold_unanswered(released)
                return
            outage = state.outage()
            if outage and outage["mode"] == "drop":
                self.close_connection = True  # the connection ends with no answer at all
                return
            if outage:
                self.send(text_response(outage["status"], "service down"), head_only=request.method == "HEAD")
                return
        self.send(answer(state, request), head_only=request.method == "HEAD")

    def hold_unanswered(self, released):
        """Sends nothing until the silence is lifted or the emulator stops; then closes the
        connection."""
        self.close_connection = True
        while not (released.wait(HOLD_POLL_S) or self.server.state.stopping.is_set()):
            pass

    def read_request(self):
        path, query = split_target(self.path)
        return Request(self.command, path, parse_query(query), header_dict(self.headers),
                       self.read_body())

    def read_body(self):
        coding = self.headers.get("Transfer-Encoding")
        if coding is not None:
            if coding.strip().lower() != "chunked":
                raise BadFraming(f"unsupported transfer coding: {coding}")
            return self.read_chunked_body()
        length = self.headers.get("Content-Length")
        if length is None:
            return b""
        if not DIGITS.fullmatch(length.strip()):
            raise BadFraming(f"bad Content-Length: {length}")
        return self.read_exactly(int(length))

    def read_exactly(self, size):
        if size > MAX_BODY_BYTES:
            raise BadFraming(f"request body larger than {MAX_BODY_BYTES} bytes")
        data = self.rfile.read(size)
        if len(data) < size:
            raise BadFraming("request body ended early")
        return data

    def read_chunked_body(self):
        body = bytearray()
        while True:
            size_text = self.rfile.readline(1024).split(b";", 1)[0].strip()
            if not re.fullmatch(rb"[0-9A-Fa-f]+", size_text):
                raise BadFraming("bad chunk size")
            size = int(size_text, 16)
            if size == 0:
                break
            chunk = self.read_exactly(size + 2)
            if not chunk.endswith(b"\r\n"):
                raise BadFraming("chunk not followed by CRLF")
            body += chunk[:-2]
            if len(body) > MAX_BODY_BYTES:
                raise BadFraming(f"request body larger than {MAX_BODY_BYTES} bytes")
        while self.rfile.readline(65537) not in (b"\r\n", b"\n", b""):
            pass  # trailer fields are ignored
        return bytes(body)

    def send(self, response, head_only=False):
        self.send_response(response.status)
        has_body = response.status not in NO_BODY_STATUSES
        if has_body:
            self.send_header("Content-Type", response.content_type)
            self.send_header("Content-Length", str(len(response.body)))
        for name, value in response.headers.items():
            self.send_header(name, value)
        if self.close_connection:
            self.send_header("Connection", "close")
        self.end_headers()
        if has_body and not head_only:
            self.wfile.write(response.body)

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)


class EmulatorServer(ThreadingHTTPServer):
    daemon_threads = True  # neither delayed answers nor idle keep-alive connections hold up the exit

    def __init__(self, port, state, verbose):
        self.state = state
        self.verbose = verbose
        super().__init__(("127.0.0.1", port), EmulatorRequestHandler)

    def handle_error(self, request, client_address):
        if isinstance(sys.exc_info()[1], ConnectionError):
            return  # the client went away; nothing to report
        super().handle_error(request, client_address)


# ---------------------------------------------------------------------------------------------
# Command line

def port_number(text):
    if not DIGITS.fullmatch(text) or int(text) > 65535:
        raise argparse.ArgumentTypeError(f"not a port number: {text}")
    return int(text)


def parse_args(argv):
    parser = argparse.ArgumentParser(description="Loopback emulator of the Vexo services.")
    parser.add_argument("--port", type=port_number, default=0,
                        help="port to listen on; 0 (the default) picks a free one")
    parser.add_argument("--port-file", type=Path,
                        help="file to write the port to once listening")
    parser.add_argument("--fixtures", type=Path, default=Path(__file__).resolve().parent / "fixtures",
                        help="folder of the fixture tables (default: fixtures beside this script)")
    parser.add_argument("--verbose", action="store_true", help="log each request to stderr")
    return parser.parse_args(argv)


def write_port_file(path, port):
    temporary = path.with_name(f".{path.name}.{os.getpid()}.tmp")
    temporary.write_text(f"{port}\n", encoding="ascii")
    os.replace(temporary, path)


def install_stop_signals():
    """Returns a list that becomes non-empty once SIGTERM or SIGINT arrives."""
    received = []
    for signum in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, lambda number, frame: received.append(number))
    return received


def main(argv=None):
    args = parse_args(argv)
    try:
        catalogue_classes()
    except SchemaError as error:
        print(f"vxemu: cannot generate the catalogue classes from {SCHEMA_DIR}: {error}", file=sys.stderr)
        return 2
    try:
        state = EmulatorState(args.fixtures)
    except FixtureError as error:
        print(f"vxemu: bad fixtures: {error}", file=sys.stderr)
        return 2
    try:
        server = EmulatorServer(args.port, state, args.verbose)
    except OSError as error:
        print(f"vxemu: cannot listen on 127.0.0.1:{args.port}: {error.strerror}", file=sys.stderr)
        return 2
    stop_signals = install_stop_signals()
    threading.Thread(target=server.serve_forever, args=(0.1,), daemon=True).start()
    try:
        return serve_until_stopped(server, args, stop_signals)
    finally:
        state.stopping.set()
        server.shutdown()
        server.server_close()


def serve_until_stopped(server, args, stop_signals):
    port = server.server_address[1]
    if args.port_file is not None:
        try:
            write_port_file(args.port_file, port)
        except OSError as error:
            print(f"vxemu: cannot write the port file: {error}", file=sys.stderr)
            return 2
    if args.verbose:
        print(f"vxemu: listening on http://127.0.0.1:{port}", file=sys.stderr)
    while not stop_signals:
        time.sleep(0.1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
