#!/usr/bin/python3
"""Reads a letter the test server saved, with Python's email package, and prints the
decoded subject, body and headers as hex-encoded UTF-8, one "name hex" pair a line."""
import email
import email.policy
import sys

with open(sys.argv[1], "rb") as f:
    message = email.message_from_binary_file(f, policy=email.policy.default)
fields = {
    "subject": str(message["Subject"]),
    "body": message.get_content(),
    "from": str(message["From"]),
    "to": str(message["To"]),
    "x-mailer": str(message["X-Mailer"] or ""),
    "charset": message.get_content_charset() or "",
    "encoding": str(message["Content-Transfer-Encoding"] or ""),
    "max-line": str(max(len(line) for line in open(sys.argv[1], "rb").read().split(b"\r\n"))),
}
for name, value in fields.items():
    print(name, value.encode("utf-8").hex())
