#!/usr/bin/python3
"""SMTP servers for tests, on a free port of 127.0.0.1.

  smtp_server.py MODE FOLDER PORTFILE LIFETIME

  store        keeps every message in FOLDER
  silent       accepts connections and never answers
  reject-rcpt  answers 550 to every RCPT
  stall-data   takes the message after DATA and never answers its end
  drop-data    drops the connection in the middle of the message after DATA

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


async def serve(mode, folder, port_file, lifetime):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 0))
    sock.listen(16)
    held = []
    if mode == "store":
        from aiosmtpd.smtp import SMTP
        handler = Store(folder)
        server = await asyncio.get_running_loop().create_server(
            lambda: SMTP(handler, hostname="plxtest", decode_data=False), sock=sock)
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
    mode, folder, port_file, lifetime = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    asyncio.run(serve(mode, folder, port_file, lifetime))


if __name__ == "__main__":
    main()
