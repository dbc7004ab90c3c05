#!/usr/bin/python3
"""A mail server on loopback for the outreach tests.

Accepts LOGIN (and PLAIN) authentication for one user, optionally offers
STARTTLS with a given certificate, and writes every message that arrives to
the output folder: NNN.eml holds the message as received, NNN.json the
envelope (sender, recipients), the authentication mechanism and login, and
whether the session had switched to TLS. Prints "PORT <n>" once it listens
and stops when its standard input closes.
"""
import argparse
import asyncio
import json
import logging
import os
import ssl
import sys
import warnings

try:
    from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword
except ImportError:
    sys.exit("smtp_server.py: Python's aiosmtpd is missing; install the Debian package python3-aiosmtpd "
             "(bash scripts/setup.sh)")


class Recorder:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        stem = os.path.join(self.folder, "%03d" % self.count)
        with open(stem + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        facts = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": list(envelope.rcpt_tos),
            "mechanism": getattr(session, "mechanism", ""),
            "login": getattr(session, "login", ""),
            "tls": session.ssl is not None,
        }
        # The JSON file appears last, so a reader that sees it finds the message complete.
        with open(stem + ".json.part", "w") as f:
            json.dump(facts, f, ensure_ascii=False)
        os.rename(stem + ".json.part", stem + ".json")
        return "250 OK"


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        if not isinstance(auth_data, LoginPassword):
            return AuthResult(success=False, handled=False)
        session.mechanism = mechanism
        session.login = auth_data.login.decode("utf-8", "replace")
        ok = auth_data.login == user.encode() and auth_data.password == password.encode()
        # handled=False lets the server answer 535 itself when the login is refused.
        return AuthResult(success=ok, handled=False)
    return authenticate


async def serve(args):
    os.makedirs(args.out, exist_ok=True)
    context = None
    if args.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
    recorder = Recorder(args.out)

    def factory():
        return SMTP(recorder, hostname="localhost", tls_context=context,
                    auth_required=True, auth_require_tls=context is not None,
                    authenticator=make_authenticator(args.user, args.password),
                    data_size_limit=64 * 1024 * 1024)

    loop = asyncio.get_running_loop()
    server = await loop.create_server(factory, "127.0.0.1", args.port)
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    stdin_closed = loop.create_future()
    loop.add_reader(sys.stdin.fileno(), lambda: stdin_closed.done() or
                    (sys.stdin.buffer.read1(4096) or stdin_closed.set_result(None)))
    await stdin_closed
    server.close()


def main():
    # The server's advice about plain-text logins is right but beside the point on loopback.
    warnings.filterwarnings("ignore")
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--user", default="vdlmail")
    parser.add_argument("--password", default="SECRET12")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    asyncio.run(serve(parser.parse_args()))


if __name__ == "__main__":
    main()
