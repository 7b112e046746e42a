#!/usr/bin/env python3
"""damage_archive.py IN.zip OUT.zip crc MEMBER | headers: copies IN.zip to
OUT.zip damaged, for the test builds of the setup program:
  crc MEMBER  the CRC-32 that MEMBER's local header and central directory
              entry both state changed, so that the member's data, sound as
              deflate data, fails its check when it is extracted;
  headers     every local header's signature broken, so that the archive
              lists no member at all."""
import struct
import sys


def break_crc(data, member):
    name = member.encode("ascii")
    changed = 0
    # signature, where the name length, the name and the CRC stand
    for signature, length_at, name_at, crc_at in ((b"PK\x03\x04", 26, 30, 14), (b"PK\x01\x02", 28, 46, 16)):
        at = data.find(signature)
        while at >= 0:
            name_length = struct.unpack_from("<H", data, at + length_at)[0]
            if bytes(data[at + name_at:at + name_at + name_length]) == name:
                crc = struct.unpack_from("<I", data, at + crc_at)[0]
                struct.pack_into("<I", data, at + crc_at, crc ^ 0x5A5A5A5A)
                changed += 1
            at = data.find(signature, at + 4)
    if changed != 2:
        sys.exit(f"damage_archive: {member} found {changed} times, expected a local header and a central entry")


def break_headers(data):
    at = data.find(b"PK\x03\x04")
    if at < 0:
        sys.exit("damage_archive: no local header")
    while at >= 0:
        data[at + 2] = ord("X")
        at = data.find(b"PK\x03\x04", at + 4)


def main(source, target, how, *member):
    data = bytearray(open(source, "rb").read())
    if how == "crc" and len(member) == 1:
        break_crc(data, member[0])
    elif how == "headers" and not member:
        break_headers(data)
    else:
        sys.exit(__doc__)
    open(target, "wb").write(data)


if __name__ == "__main__":
    main(*sys.argv[1:])
