#!/usr/bin/python3
"""Update signing for Zapdock.

  zd_sign.py keygen PREFIX
      a new Ed25519 key pair: PREFIX.key (the private seed, hex, mode 600) and
      PREFIX.pub (the public key, hex). The program embeds a .pub at build time.
  zd_sign.py markers --key KEY --version 3.6 --name setupZD.exe SETUP
      prints the lines a version page carries for SETUP: its size, its SHA-256
      and the signature of the update statement.
  zd_sign.py page --key KEY --version 3.6 --name setupZD.exe --server-signature TEXT SETUP
      prints a whole version page: the server signature, the version and the
      two lines above.
  zd_sign.py verify --pub PUB --version 3.6 --name setupZD.exe --size BYTES --sha256 HEX
             --signature HEX
      checks a signature as the program does (exit status 0 when it holds).

What is signed is the statement made by `statement()`: the setup's file name,
the version text exactly as the page shows it, the file's size and its
SHA-256. The program rebuilds it from the page and from the file it
downloaded, and downloads no more than that size.
"""
import argparse
import hashlib
import os
import sys

import nacl.exceptions
import nacl.signing

VERSION_MARKERS = ("<!--svs___", "___svs-->")
SHA256_MARKERS = ("<!--svh___", "___svh-->")
SIGNATURE_MARKERS = ("<!--svg___", "___svg-->")
SIZE_MARKERS = ("<!--svz___", "___svz-->")


def statement(name: str, version: str, size: int, sha256_hex: str) -> bytes:
    return ("Zapdock update\nfile: %s\nversion: %s\nsize: %d\nsha256: %s\n" %
            (name, version.strip(), size, sha256_hex.lower())).encode("utf-8")


def read_key(path: str) -> nacl.signing.SigningKey:
    with open(path, "r", encoding="ascii") as f:
        return nacl.signing.SigningKey(bytes.fromhex(f.read().strip()))


def file_sha256(path: str) -> str:
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 16), b""):
            h.update(chunk)
    return h.hexdigest()


def marker_lines(key_path: str, version: str, name: str, setup: str) -> list:
    digest = file_sha256(setup)
    size = os.path.getsize(setup)
    signature = read_key(key_path).sign(statement(name, version, size, digest)).signature
    return [SIZE_MARKERS[0] + str(size) + SIZE_MARKERS[1],
            SHA256_MARKERS[0] + digest + SHA256_MARKERS[1],
            SIGNATURE_MARKERS[0] + signature.hex() + SIGNATURE_MARKERS[1]]


def cmd_keygen(args) -> int:
    key = nacl.signing.SigningKey.generate()
    old = os.umask(0o077)
    try:
        with open(args.prefix + ".key", "w", encoding="ascii") as f:
            f.write(bytes(key).hex() + "\n")
    finally:
        os.umask(old)
    with open(args.prefix + ".pub", "w", encoding="ascii") as f:
        f.write(bytes(key.verify_key).hex() + "\n")
    return 0


def cmd_markers(args) -> int:
    print("\n".join(marker_lines(args.key, args.version, args.name, args.setup)))
    return 0


def cmd_page(args) -> int:
    lines = ["<html><head><title>Zapdock</title></head><body>",
             args.server_signature,
             VERSION_MARKERS[0] + args.version + VERSION_MARKERS[1]]
    lines += marker_lines(args.key, args.version, args.name, args.setup)
    lines.append("</body></html>")
    print("\n".join(lines))
    return 0


def cmd_verify(args) -> int:
    with open(args.pub, "r", encoding="ascii") as f:
        verify_key = nacl.signing.VerifyKey(bytes.fromhex(f.read().strip()))
    try:
        verify_key.verify(statement(args.name, args.version, args.size, args.sha256),
                          bytes.fromhex(args.signature))
    except (nacl.exceptions.BadSignatureError, ValueError):
        print("bad signature", file=sys.stderr)
        return 1
    return 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("keygen")
    p.add_argument("prefix")
    p.set_defaults(run=cmd_keygen)
    for name, run in (("markers", cmd_markers), ("page", cmd_page)):
        p = sub.add_parser(name)
        p.add_argument("--key", required=True)
        p.add_argument("--version", required=True)
        p.add_argument("--name", default="setupZD.exe")
        if name == "page":
            p.add_argument("--server-signature", required=True)
        p.add_argument("setup")
        p.set_defaults(run=run)
    p = sub.add_parser("verify")
    p.add_argument("--pub", required=True)
    p.add_argument("--version", required=True)
    p.add_argument("--name", default="setupZD.exe")
    p.add_argument("--size", type=int, required=True)
    p.add_argument("--sha256", required=True)
    p.add_argument("--signature", required=True)
    p.set_defaults(run=cmd_verify)
    args = parser.parse_args()
    return args.run(args)


if __name__ == "__main__":
    sys.exit(main())
