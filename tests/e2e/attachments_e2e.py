#!/usr/bin/env python3
"""velmora-cli puts attachments back: a store with real attachment files is
converted, and every attachment is read back from the .eml files with
Python's own mail parser and compared with the original bytes.

usage: attachments_e2e.py VELMORA_CLI
"""

import email
import email.policy
import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib

MARKER = "----------[%ImFilePath%]----------"


def index_record(length, offset):
    """One index record: fixed blocks, four length-prefixed fields, then the
    message length and offset (little-endian)."""
    fields = [b"<id@example>", b"Subject", b"sender@example", b"x"]
    rec = b"\x5a" * 34
    for field in fields[:3]:
        rec += struct.pack("<i", len(field)) + field
    rec += b"\x5a" * 12
    rec += struct.pack("<i", len(fields[3])) + fields[3]
    rec += b"\x5a" * 6
    rec += struct.pack("<ii", length, offset)
    rec += b"\x5a" * 8
    return rec


def write_store(folder, messages, attachments):
    os.makedirs(os.path.join(folder, "Attachments", "sub"), exist_ok=True)
    for name, content in attachments.items():
        with open(os.path.join(folder, "Attachments", *name.split("\\")), "wb") as f:
            f.write(content)
    data = b""
    index = b"V#04"
    for block in messages:
        index += index_record(len(block), len(data))
        data += block
    with open(os.path.join(folder, "Inbox.imh"), "wb") as f:
        f.write(index)
    with open(os.path.join(folder, "Inbox.imm"), "wb") as f:
        f.write(data)


def png_like(rng):
    """A small PNG: signature, header, one compressed image chunk, end."""

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    width, height = 256, 200
    rows = b"".join(b"\x00" + rng.randbytes(width * 3) for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 1)) + chunk(b"IEND", b""))


def main():
    cli = sys.argv[1]
    rng = random.Random(20050307)
    every_byte = bytes(range(256))
    attachments = {
        "photo.png": png_like(rng),
        # A few MB holding every byte value, runs of CR, LF and NUL included.
        "blob.bin": every_byte * 4096 + rng.randbytes(3 * 1024 * 1024 + 17),
        "notes.txt": b"".join(b"line %d of the notes\r\n" % i for i in range(500)),
        # Raw binary: every byte value, but never the text of the boundary.
        "raw.bin": every_byte * 64 + rng.randbytes(100000).replace(b"-", b"+"),
        "sub\\report.pdf": b"%PDF-1.4\n" + rng.randbytes(195 * 400 - 9),
    }
    boundary = "=_velmora_e2e_boundary"

    def part(content_type, encoding, name):
        return ("--%s\r\nContent-Type: %s; name=\"%s\"\r\n"
                "Content-Transfer-Encoding: %s\r\n"
                "Content-Disposition: attachment; filename=\"%s\"\r\n\r\n"
                "%s%s\r\n" % (boundary, content_type, name, encoding, name, MARKER, name))

    multipart = ("From: Sender <sender@example.org>\r\n"
                 "To: you@example.net\r\n"
                 "Subject: multipart\r\n"
                 "MIME-Version: 1.0\r\n"
                 "Content-Type: multipart/mixed; boundary=\"%s\"\r\n\r\n"
                 "This is a multi-part message in MIME format.\r\n\r\n"
                 "--%s\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nSee attached.\r\n" %
                 (boundary, boundary) + part("image/png", "base64", "photo.png") +
                 part("application/octet-stream", "base64", "blob.bin") +
                 part("text/plain", "7bit", "notes.txt") +
                 part("application/octet-stream", "binary", "raw.bin") +
                 "--%s--\r\n" % boundary).encode("ascii")
    # One part only; its size is a multiple of 195, so an empty line follows
    # the Base64 text.
    single = ("From: sender@example.org\r\nSubject: single\r\nMIME-Version: 1.0\r\n"
              "Content-Type: application/pdf; name=\"report.pdf\"\r\n"
              "Content-Transfer-Encoding: base64\r\n\r\n"
              "%ssub\\report.pdf\r\n" % MARKER).encode("ascii")

    with tempfile.TemporaryDirectory(prefix="velmora-e2e-") as work:
        store = os.path.join(work, "store")
        out = os.path.join(work, "out")
        write_store(store, [multipart, single], attachments)
        run = subprocess.run([cli, "--store", store, out], capture_output=True, text=True)
        if run.returncode != 0:
            print("velmora-cli failed:", run.returncode, run.stdout, run.stderr)
            return 1
        folder = os.path.join(out, "Inbox")
        saved = {}
        for name in os.listdir(folder):
            with open(os.path.join(folder, name), "rb") as f:
                raw = f.read()
            message = email.message_from_bytes(raw, policy=email.policy.default)
            saved[message["Subject"]] = (message, raw)
        if sorted(saved) != ["multipart", "single"]:
            print("saved messages:", sorted(saved))
            return 1

        failures = []

        def check(label, got, want):
            if got != want:
                failures.append("%s: %d bytes, expected %d" % (label, len(got), len(want)))

        message, raw = saved["multipart"]
        if MARKER.encode() in raw:
            failures.append("a placeholder line is left in the multipart message")
        found = {}
        for item in message.iter_attachments():
            found[item.get_filename()] = item
        for name, encoding in [("photo.png", "base64"), ("blob.bin", "base64"),
                               ("notes.txt", "7bit"), ("raw.bin", "binary")]:
            item = found.get(name)
            if item is None:
                failures.append("%s is missing" % name)
                continue
            if item["Content-Transfer-Encoding"] != encoding:
                failures.append("%s: encoding %s" % (name, item["Content-Transfer-Encoding"]))
            check(name, item.get_payload(decode=True), attachments[name])
        if found.get("photo.png") is not None:
            image = found["photo.png"].get_payload(decode=True)
            if not image.startswith(b"\x89PNG\r\n\x1a\n"):
                failures.append("photo.png does not start with the PNG signature")
        # Base64 lines as the encoder breaks them: 84, 88, 88, ... characters.
        start = raw.find(b"filename=\"blob.bin\"\r\n\r\n") + len(b"filename=\"blob.bin\"\r\n\r\n")
        lines = raw[start:start + 266 * 4].split(b"\r\n")[:9]
        if [len(line) for line in lines] != [84, 88, 88] * 3:
            failures.append("blob.bin lines: %s" % [len(line) for line in lines])

        message, raw = saved["single"]
        check("sub\\report.pdf", message.get_payload(decode=True), attachments["sub\\report.pdf"])
        if not raw.endswith(b"\r\n\r\n"):
            failures.append("the single-part message does not end with an empty line")

        for failure in failures:
            print("FAIL", failure)
        if failures:
            return 1
        print("ok: %d attachments decode to their original bytes" % (len(found) + 1))
        return 0


if __name__ == "__main__":
    sys.exit(main())
