#!/usr/bin/env python3
"""A loopback HTTP server for the toolbox's network tests.

Serves the files of a directory with range requests and misbehaves on
request, by path:
  /files/NAME            the file, ranges answered with 206
  /noranges/NAME         the whole file whatever the Range header says
  /lie/NAME              206 with a Content-Range one byte off
  /short/NAME            206 with fewer bytes than asked for, before the end
  /html/...              a web page
  /loop/N                a redirect to /loop/N+1, for ever
  /status/CODE/...       that status, no body
  /busy/N/REST           429 with Retry-After: 1 for the first N requests, then REST
  /stall/...             headers, then nothing for a minute
  /trickle/...           headers, then two bytes a second for half a minute
  /redirect/SCHEME       a redirect to SCHEME://127.0.0.1/x (file, ftp, gopher)
  /tiles/Z/X/Y.EXT       tiles of the MBTiles file given, 404 when absent (a
                         vector tile's type when EXT is pbf or mvt)
  /badtiles/Z/X/Y.png    as /tiles, but odd columns answer bytes no decoder takes
  /stats                 JSON: requests (but these) and body bytes since the start, user agents
Prints "PORT n" once listening on 127.0.0.1.
"""
import json
import os
import re
import sqlite3
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ROOT = sys.argv[1]
TILES = sys.argv[2] if len(sys.argv) > 2 else None
lock = threading.Lock()
stats = {"requests": 0, "bytes": 0, "agents": []}
busy = {}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=None):
        self.send_response(status)
        for k, v in (headers or {}).items():
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        with lock:
            stats["bytes"] += len(body)

    def file_range(self, name, mode):
        path = os.path.join(ROOT, os.path.basename(name))
        if not os.path.isfile(path):
            return self.answer(404)
        size = os.path.getsize(path)
        m = re.fullmatch(r"bytes=(\d+)-(\d+)", self.headers.get("Range", ""))
        if not m or mode == "noranges":
            return self.answer(200, open(path, "rb").read(), {"Content-Type": "application/octet-stream"})
        first, last = int(m.group(1)), min(int(m.group(2)), size - 1)
        if first >= size:
            return self.answer(416, b"", {"Content-Range": "bytes */%d" % size})
        with open(path, "rb") as f:
            f.seek(first)
            body = f.read(last + 1 - first)
        shown = (first, last)
        if mode == "lie":
            shown = (first + 1, last + 1)
        if mode == "short" and len(body) > 1:
            body = body[:len(body) // 2]
            shown = (first, first + len(body) - 1)
        headers = {"Content-Range": "bytes %d-%d/%d" % (shown[0], shown[1], size),
                   "Content-Type": "application/octet-stream"}
        return self.answer(206, body, headers)

    def tile(self, z, x, y, ext, bad):
        if bad and x % 2 == 1:
            return self.answer(200, b"this is no picture", {"Content-Type": "image/png"})
        db = sqlite3.connect(TILES)
        row = db.execute("SELECT tile_data FROM tiles WHERE zoom_level=? AND tile_column=? AND tile_row=?",
                         (z, x, (1 << z) - 1 - y)).fetchone()
        db.close()
        if row is None:
            return self.answer(404, b"no such tile", {"Content-Type": "text/plain"})
        kind = "application/vnd.mapbox-vector-tile" if ext in ("pbf", "mvt") else "image/png"
        return self.answer(200, bytes(row[0]), {"Content-Type": kind})

    def do_GET(self):
        parts = self.path.strip("/").split("/")
        kind = parts[0]
        if kind != "stats":
            with lock:
                stats["requests"] += 1
                stats["agents"].append(self.headers.get("User-Agent", ""))
        if kind == "stats":
            with lock:
                body = json.dumps(stats).encode()
            return self.answer(200, body, {"Content-Type": "application/json"})
        if kind in ("files", "noranges", "lie", "short"):
            return self.file_range(parts[-1], kind)
        if kind == "html":
            return self.answer(200, b"<html><body>Sign in</body></html>", {"Content-Type": "text/html; charset=utf-8"})
        if kind == "loop":
            return self.answer(302, b"", {"Location": "/loop/%d" % (int(parts[1]) + 1)})
        if kind == "status":
            return self.answer(int(parts[1]))
        if kind == "busy":
            key = "/".join(parts[2:])
            with lock:
                busy[key] = busy.get(key, 0) + 1
                waiting = busy[key] <= int(parts[1])
            if waiting:
                return self.answer(429, b"slow down", {"Retry-After": "1"})
            self.path = "/" + key
            with lock:
                stats["requests"] -= 1
            return self.do_GET()
        if kind == "stall":
            self.send_response(206)
            self.send_header("Content-Length", "1000000")
            self.send_header("Content-Range", "bytes 0-999999/2000000")
            self.end_headers()
            self.wfile.flush()
            time.sleep(60)
            return None
        if kind == "trickle":
            self.send_response(206)
            self.send_header("Content-Length", "1000000")
            self.send_header("Content-Range", "bytes 0-999999/2000000")
            self.end_headers()
            for _ in range(30):
                self.wfile.write(b"PM")
                self.wfile.flush()
                time.sleep(1)
            self.close_connection = True
            return None
        if kind == "redirect":
            return self.answer(302, b"", {"Location": "%s://127.0.0.1/x" % parts[1]})
        if kind in ("tiles", "badtiles") and len(parts) == 4:
            y, _, ext = parts[3].partition(".")
            return self.tile(int(parts[1]), int(parts[2]), int(y), ext, kind == "badtiles")
        return self.answer(404)


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
# Clients that give up half way are expected here: no tracebacks.
server.handle_error = lambda request, address: None
print("PORT %d" % server.server_address[1], flush=True)
server.serve_forever()
