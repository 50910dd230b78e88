#!/usr/bin/python3
"""A small HTTP server on 127.0.0.1 for the update tests.

Serves the files of --root. Requests below /stall/ are accepted and never
answered (until the server stops), for the read-timeout tests. The server
picks a free port, writes it to --port-file, and stops by itself after
--lifetime seconds so that no test run leaves it behind.
"""
import argparse
import http.server
import os
import socketserver
import sys
import threading
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    stop = threading.Event()

    def do_GET(self):
        if self.path.startswith("/stall/"):
            Handler.stop.wait(120)
            return
        super().do_GET()

    def log_message(self, fmt, *args):
        sys.stderr.write("[update-server] %s\n" % (fmt % args))


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--lifetime", type=float, default=1800)
    args = parser.parse_args()
    os.chdir(args.root)
    server = Server(("127.0.0.1", 0), Handler)
    with open(args.port_file + ".tmp", "w", encoding="ascii") as f:
        f.write(str(server.server_address[1]))
    os.replace(args.port_file + ".tmp", args.port_file)
    deadline = time.monotonic() + args.lifetime
    server.timeout = 0.5
    try:
        while time.monotonic() < deadline:
            server.handle_request()
    except KeyboardInterrupt:
        pass
    finally:
        Handler.stop.set()
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
