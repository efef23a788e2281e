#!/usr/bin/python3
"""A real SMTP server for tests: aiosmtpd on 127.0.0.1, storing each message it accepts
as a file in a folder.

usage: smtpserver.py PORT FOLDER [drop-after-first|slow]

With "drop-after-first" it closes the connection when a second message starts; with
"slow" it takes a minute to accept each message.
Prints "ready" once it listens.
"""
import asyncio
import os
import sys

from aiosmtpd.controller import Controller


class Store:
    def __init__(self, folder, mode):
        self.folder = folder
        self.drop_after_first = mode == "drop-after-first"
        self.slow = mode == "slow"
        self.count = 0

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if self.drop_after_first and self.count >= 1:
            session.transport.close()
            return "421 closing"
        envelope.mail_from = address
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.slow:
            await asyncio.sleep(60)
        self.count += 1
        path = os.path.join(self.folder, "%03d.eml" % self.count)
        with open(path + ".part", "wb") as out:
            out.write(("X-Envelope-From: %s\r\n" % envelope.mail_from).encode())
            out.write(("X-Envelope-To: %s\r\n" % ",".join(envelope.rcpt_tos)).encode())
            out.write(envelope.original_content)
        os.rename(path + ".part", path)
        return "250 Message accepted"


def main():
    port = int(sys.argv[1])
    folder = sys.argv[2]
    mode = sys.argv[3] if len(sys.argv) > 3 else ""
    controller = Controller(Store(folder, mode), hostname="127.0.0.1", port=port)
    controller.start()
    print("ready", flush=True)
    try:
        sys.stdin.read()  # ends when the test closes our input or ends us
    finally:
        controller.stop()


if __name__ == "__main__":
    main()
