#!/usr/bin/python3
"""HTTP server for tests, on a free port of 127.0.0.1.

  http_server.py ROOT PORTFILE LIFETIME

Serves the files below ROOT, and besides them:
  /status/N     answers with status N and a short body
  /hang         reads the request and never answers
  /trickle      answers 200 and then sends one byte a second, for ever
  /slow/N/P     waits N seconds, then serves the file P
  /big/N        streams a feed document of N megabytes without a Content-Length
  /redirect/P   answers 302 with the location /P

The chosen port is written to PORTFILE (by rename) once the server listens. The server ends
after LIFETIME seconds or as soon as the process that started it is gone.
"""
import functools
import http.server
import os
import sys
import threading
import time

BIG_HEAD = (b'<?xml version="1.0" encoding="UTF-8"?>\n'
            b'<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/">\n'
            b'<channel><title>big</title><link>http://127.0.0.1/</link></channel>\n')
BIG_ITEM = b'<item><title>padding padding padding padding</title><link>http://127.0.0.1/x</link></item>\n'


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        try:
            self.route()
        except (BrokenPipeError, ConnectionResetError):
            pass

    def route(self):
        path = self.path.split("?", 1)[0]
        if path.startswith("/status/"):
            body = b"status page\n"
            self.send_response(int(path[len("/status/"):]))
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif path == "/hang":
            while True:
                time.sleep(1)
        elif path == "/trickle":
            self.send_response(200)
            self.send_header("Content-Type", "application/xml")
            self.end_headers()
            self.wfile.write(BIG_HEAD[:1])
            self.wfile.flush()
            for byte in BIG_HEAD[1:] * 1000:
                time.sleep(1)
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
        elif path.startswith("/slow/"):
            seconds, _, rest = path[len("/slow/"):].partition("/")
            time.sleep(float(seconds))
            self.path = "/" + rest
            super().do_GET()
        elif path.startswith("/big/"):
            total = int(path[len("/big/"):]) * 1024 * 1024
            self.send_response(200)
            self.send_header("Content-Type", "application/xml")
            self.end_headers()
            self.wfile.write(BIG_HEAD)
            chunk = BIG_ITEM * 512
            sent = len(BIG_HEAD)
            while sent < total:
                self.wfile.write(chunk)
                sent += len(chunk)
            self.wfile.write(b"</rdf:RDF>\n")
        elif path.startswith("/redirect/"):
            self.send_response(302)
            self.send_header("Location", "/" + path[len("/redirect/"):])
            self.send_header("Content-Length", "0")
            self.end_headers()
        else:
            super().do_GET()


def main():
    root, port_file, lifetime = sys.argv[1], sys.argv[2], float(sys.argv[3])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=root))
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(port_file + ".tmp", port_file)
    parent = os.getppid()
    deadline = time.monotonic() + lifetime
    while time.monotonic() < deadline and os.getppid() == parent:
        time.sleep(0.2)


if __name__ == "__main__":
    main()
