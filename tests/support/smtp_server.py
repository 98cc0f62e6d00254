#!/ usr / bin / python3
"""SMTP servers for tests, on a free port of 127.0.0.1.

  smtp_server.py MODE FOLDER [NAME=VALUE ...] PORTFILE LIFETIME

  store        keeps every message in FOLDER
  starttls     keeps every message, but only after STARTTLS (cert=, key=)
  tls          keeps every message, TLS from the first byte (cert=, key=)
  silent       accepts connections and never answers
  reject-rcpt  answers 550 to every RCPT
  stall-data   takes the message after DATA and never answers its end
  drop-data    drops the connection in the middle of the message after DATA

The storing modes take the options cert=PEM and key=PEM (the server's certificate and key),
login=NAME:PASSWORD (a login is then required before MAIL) and mechanisms=PLAIN or LOGIN (the
only mechanism offered). A session that did not log in cannot send.

The chosen port is written to PORTFILE once the server listens. Message N is stored as
N.rcpt (envelope recipients, one a line), N.from (envelope sender) and N.eml (the data as
received), the .eml last and each file by rename, so a reader never sees half a message.
The server ends after LIFETIME seconds or as soon as the process that started it is gone.
"""
import asyncio
import os
import socket
import sys
import time


def write_whole(path, data):
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.rename(path + ".tmp", path)


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "%03d" % self.count)
        write_whole(base + ".rcpt", ("\n".join(envelope.rcpt_tos) + "\n").encode())
        write_whole(base + ".from", (envelope.mail_from or "").encode())
        content = envelope.content
        if isinstance(content, str):
            content = content.encode("latin-1")
        write_whole(base + ".eml", content)
        return "250 OK"


class Authenticator:
    def __init__(self, name, password):
        self.name = name.encode()
        self.password = password.encode()

    def __call__(self, server, session, envelope, mechanism, auth_data):
        from aiosmtpd.smtp import AuthResult, LoginPassword
        good = (isinstance(auth_data, LoginPassword) and auth_data.login == self.name
                and auth_data.password == self.password)
        return AuthResult(success=good, handled=False)


def storing_server(mode, handler, options):
    """The aiosmtpd session factory of a storing mode and the TLS context to listen with."""
    import ssl
    from aiosmtpd.smtp import SMTP
    context = None
    if mode in ("starttls", "tls"):
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(options["cert"], options["key"])
    kwargs = {
    "hostname" : "plxtest", "decode_data" : False}
    if "login" in options:
        name, password = options["login"].split(":", 1)
        kwargs["authenticator"] = Authenticator(name, password)
        kwargs["auth_required"] = True
#Over TLS from the first byte aiosmtpd does not see the TLS layer : it is there all the same.
        kwargs["auth_require_tls"] = mode != "tls"
        if mode == "tls":
            import warnings
            warnings.filterwarnings("ignore", message="Requiring AUTH while not requiring TLS")
        if "mechanisms" in options:
            kwargs["auth_exclude_mechanism"] = [m for m in ("PLAIN", "LOGIN") if m != options["mechanisms"]]
    if mode == "starttls":
        kwargs["tls_context"] = context
        kwargs["require_starttls"] = True
    return (lambda: SMTP(handler, **kwargs)), (context if mode == "tls" else None)


async def hold(reader, writer, held):
    held.append(writer)
    await reader.read()  # until the client gives up


async def scripted(mode, reader, writer, held):
    """A hand-written session for the faulty servers."""
    held.append(writer)

    async def say(line):
        writer.write(line.encode() + b"\r\n")
        await writer.drain()

    await say("220 plxtest ESMTP")
    while True:
        line = await reader.readline()
        if not line:
            return
        verb = line[:4].upper()
        if verb in (b"EHLO", b"HELO"):
            await say("250 plxtest")
        elif verb == b"RCPT" and mode == "reject-rcpt":
            await say("550 5.1.1 mailbox unavailable")
        elif verb == b"DATA":
            await say("354 end with <CRLF>.<CRLF>")
            if mode == "drop-data":
                await reader.read(8)  # the first bytes of the message, then the line goes dead
                writer.transport.abort()
                return
            data = b""
            while not data.endswith(b"\r\n.\r\n"):
                chunk = await reader.read(4096)
                if not chunk:
                    return
                data += chunk
            if mode == "stall-data":
                await reader.read()  # never answers; waits for the client to give up
                return
            await say("250 OK")
        elif verb == b"QUIT":
            await say("221 bye")
            writer.close()
            return
        else:
            await say("250 OK")


async def serve(mode, folder, options, port_file, lifetime):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 0))
    sock.listen(16)
    held = []
    if mode in ("store", "starttls", "tls"):
        factory, context = storing_server(mode, Store(folder), options)
        server = await asyncio.get_running_loop().create_server(factory, sock=sock, ssl=context)
    elif mode == "silent":
        server = await asyncio.start_server(lambda r, w: hold(r, w, held), sock=sock)
    else:
        server = await asyncio.start_server(lambda r, w: scripted(mode, r, w, held), sock=sock)
    write_whole(port_file, str(sock.getsockname()[1]).encode())
    parent = os.getppid()
    deadline = time.monotonic() + lifetime
    while time.monotonic() < deadline and os.getppid() == parent:
        await asyncio.sleep(0.2)
    server.close()


def main():
    mode, folder = sys.argv[1], sys.argv[2]
    options = dict(arg.split("=", 1) for arg in sys.argv[3:-2])
    port_file, lifetime = sys.argv[-2], float(sys.argv[-1])
    asyncio.run(serve(mode, folder, options, port_file, lifetime))


if __name__ == "__main__":
    main()
