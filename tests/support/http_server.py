#!/usr/bin/python3
"""HTTP (or HTTPS) server for tests, on a free port of 127.0.0.1.

  http_server.py [--log FILE] [--tls CERT KEY] ROOT PORTFILE LIFETIME

Serves the files below ROOT, each with an ETag made from its content and its Last-Modified time,
answering 304 to a request whose If-None-Match names the ETag (or, without one, whose
If-Modified-Since is not older than the file). Lines "Name: value" in a file NAME.headers beside
the file NAME are sent with it; "ETag: -" sends no ETag, and "Status: N" answers with status N
and those headers instead of the file. Besides the files:
  /status/N     answers with status N and a short body
  /hang         reads the request and never answers
  /trickle      answers 200 and then sends one byte a second, for ever
  /slow/N/P     waits N seconds, then serves the file P
  /big/N        streams a feed document of N megabytes without a Content-Length
  /redirect/P   answers 302 with the location /P

With --log, every answered request is appended to FILE as one line: the path, the If-None-Match
and the If-Modified-Since header (empty when not sent) and the status, separated by tabs. With
--tls, the server speaks HTTPS with the certificate chain CERT and its key KEY.

The chosen port is written to PORTFILE (by rename) once the server listens. The server ends
after LIFETIME seconds or as soon as the process that started it is gone.
"""
import argparse
import functools
import hashlib
import http.server
import os
import ssl
import sys
import threading
import time

BIG_HEAD = (b'<?xml version="1.0" encoding="UTF-8"?>\n'
            b'<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/">\n'
            b'<channel><title>big</title><link>http://127.0.0.1/</link></channel>\n')
BIG_ITEM = b'<item><title>padding padding padding padding</title><link>http://127.0.0.1/x</link></item>\n'


LOG_LOCK = threading.Lock()


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    request_log = None

    def setup(self):
        if isinstance(self.request, ssl.SSLSocket):
            self.request.settimeout(10)
            self.request.do_handshake()
        super().setup()

    def log_message(self, *args):
        pass

    def end_headers(self):
        for name, value in getattr(self, "extra_headers", []):
            self.send_header(name, value)
        super().end_headers()

    def log_request(self, code="-", size="-"):
        if self.request_log:
            line = "\t".join([self.path, self.headers.get("If-None-Match", ""),
                              self.headers.get("If-Modified-Since", ""), str(int(code))])
            with LOG_LOCK, open(self.request_log, "a") as log:
                log.write(line + "\n")

    def do_GET(self):
        self.extra_headers = []
        try:
            self.route()
        except (BrokenPipeError, ConnectionResetError):
            pass

    def serve_file(self):
        file_path = self.translate_path(self.path)
        extra = []
        if os.path.isfile(file_path + ".headers"):
            with open(file_path + ".headers") as f:
                extra = [tuple(part.strip() for part in line.split(":", 1)) for line in f if ":" in line]
        status = [value for name, value in extra if name.lower() == "status"]
        send_etag = ("ETag", "-") not in extra
        extra = [(name, value) for name, value in extra if name.lower() not in ("status", "etag")]
        if status:
            self.extra_headers = extra
            self.send_response(int(status[0]))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if send_etag and os.path.isfile(file_path):
            with open(file_path, "rb") as f:
                etag = '"%s"' % hashlib.sha1(f.read()).hexdigest()[:16]
            extra.insert(0, ("ETag", etag))
            asked = [tag.strip() for tag in self.headers.get("If-None-Match", "").split(",")]
            if etag in asked:
                self.extra_headers = extra
                self.send_response(304)
                self.end_headers()
                return
        self.extra_headers = extra
        super().do_GET()

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
            self.serve_file()
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
            self.serve_file()


class TlsServer(http.server.ThreadingHTTPServer):
    """Hands each connection over with its handshake still to come, which the handler's thread does."""
    context = None

    def get_request(self):
        sock, address = self.socket.accept()
        return self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), address

    def handle_error(self, request, client_address):
        pass  # a client that refuses the certificate ends the handshake; that is what the tests want


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log")
    parser.add_argument("--tls", nargs=2)
    parser.add_argument("root")
    parser.add_argument("port_file")
    parser.add_argument("lifetime", type=float)
    args = parser.parse_args()
    root, port_file, lifetime = args.root, args.port_file, args.lifetime
    Handler.request_log = args.log
    server_class = http.server.ThreadingHTTPServer
    if args.tls:
        server_class = TlsServer
        TlsServer.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        TlsServer.context.load_cert_chain(args.tls[0], args.tls[1])
    server = server_class(("127.0.0.1", 0), functools.partial(Handler, directory=root))
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
