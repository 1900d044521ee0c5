#!/usr/bin/env python3
"""Writes an encrypted package without any of our code, so that the reader is
judged by an independent implementation: hashlib for PBKDF2, zlib for the
member streams, and the openssl command line for Whirlpool and AES-128-CFB.

usage: foreign_package.py OUT PASSWORD USERS SOURCE_DIR
Every file below SOURCE_DIR becomes a member "/<relative path>".
Exits with 77 when openssl lacks Whirlpool (legacy provider missing)."""
import base64
import os
import struct
import subprocess
import sys
import zlib


def openssl(args, data):
    return subprocess.run(["openssl"] + args, input=data, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, check=True).stdout


def whirlpool(data):
    return openssl(["dgst", "-provider", "legacy", "-provider", "default", "-whirlpool", "-binary"], data)


def aes_cfb(key, iv, data):
    return openssl(["enc", "-aes-128-cfb", "-K", key.hex(), "-iv", iv.hex(), "-nopad", "-nosalt"], data)


def main():
    out, password, users, source = sys.argv[1:5]
    try:
        digest = whirlpool(password.encode("utf-8"))
    except (subprocess.CalledProcessError, FileNotFoundError):
        sys.exit(77)
    assert len(digest) == 64

    members = []
    data = b""
    header_size = 12
    for folder, _, files in sorted(os.walk(source)):
        for name in sorted(files):
            full = os.path.join(folder, name)
            path = "/" + os.path.relpath(full, source).replace(os.sep, "/")
            content = open(full, "rb").read()
            key = os.urandom(16)
            iv = (path.encode("utf-8") + b" " * 16)[:16]
            stored = aes_cfb(key, iv, zlib.compress(content))
            members.append("%s;%d;%d;%d;%s" % (path, len(stored), len(content), header_size + len(data),
                                               base64.b64encode(key).decode("ascii")))
            data += stored

    index = "|".join(["v2", users, "default_locale=fr_FR", ""] + (members or [""]))
    salt, iv = os.urandom(16), os.urandom(16)
    index_key = __import__("hashlib").pbkdf2_hmac("sha512", digest, salt, 1000, 16)
    block = salt + iv + aes_cfb(index_key, iv, b"PACKAGE-INDEX" + index.encode("utf-8"))
    with open(out, "wb") as f:
        f.write(struct.pack("<III", 0xCCDDAABB, 3, header_size + len(data)) + data + block)


if __name__ == "__main__":
    main()
