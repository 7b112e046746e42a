#!/usr/bin/env python3
"""break_member_crc.py IN.zip OUT.zip MEMBER: copies IN.zip to OUT.zip with
the CRC-32 that MEMBER's local header and central directory entry both
state changed, so that the member's data, sound as deflate data, fails its
check when it is extracted (the test builds' damaged payload)."""
import struct
import sys


def main(source, target, member):
    data = bytearray(open(source, "rb").read())
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
        sys.exit(f"break_member_crc: {member} found {changed} times, expected a local header and a central entry")
    open(target, "wb").write(data)


if __name__ == "__main__":
    main(*sys.argv[1:])
