"""Hand-built zip archives for the unzip tests: every field can be set on
its own, so an archive can be made to lie in exactly one way.

PKWARE APPNOTE layout; all integers little-endian."""
import struct
import zlib

LOCAL_SIG = 0x04034B50
CENTRAL_SIG = 0x02014B50
END_SIG = 0x06054B50
DESCRIPTOR_SIG = 0x08074B50
ZIP64_LOCATOR_SIG = 0x07064B50

STORED = 0
DEFLATE = 8

# 2020-01-02 03:04:06 as DOS date and time.
DOS_DATE = ((2020 - 1980) << 9) | (1 << 5) | 2
DOS_TIME = (3 << 11) | (4 << 5) | 3


def deflate(data, level=9):
    c = zlib.compressobj(level, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


_CRC_TABLE = []
for _n in range(256):
    _c = _n
    for _ in range(8):
        _c = (_c >> 1) ^ 0xEDB88320 if _c & 1 else _c >> 1
    _CRC_TABLE.append(_c)


class ZipCrypto:
    """Traditional PKWARE encryption (the encrypting side, which Python's
    zipfile lacks)."""

    def __init__(self, password):
        self.keys = [0x12345678, 0x23456789, 0x34567890]
        for b in password:
            self._update(b)

    def _crc(self, crc, b):
        return _CRC_TABLE[(crc ^ b) & 0xFF] ^ (crc >> 8)

    def _update(self, b):
        k = self.keys
        k[0] = self._crc(k[0], b)
        k[1] = ((k[1] + (k[0] & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        k[2] = self._crc(k[2], k[1] >> 24)

    def encrypt(self, data):
        out = bytearray()
        for b in data:
            t = (self.keys[2] | 2) & 0xFFFF
            out.append(b ^ (((t * (t ^ 1)) >> 8) & 0xFF))
            self._update(b)
        return bytes(out)


class Member:
    """One member; fields left None take their true value. local/central/
    descriptor overrides make the archive lie."""

    def __init__(self, name, data=b"", method=DEFLATE, password=None, descriptor=None,
                 local=None, central=None, descriptor_fields=None, raw=None, time=DOS_TIME, date=DOS_DATE):
        self.name = name.encode("latin-1") if isinstance(name, str) else name
        self.data = data
        self.method = method
        self.password = password
        self.descriptor = descriptor  # None, "signed" or "unsigned"
        self.local = local or {}
        self.central = central or {}
        self.descriptor_fields = descriptor_fields or {}
        self.raw = raw  # compressed bytes to store instead of the true ones
        self.time = time
        self.date = date

    def payload(self):
        body = self.raw if self.raw is not None else (deflate(self.data) if self.method == DEFLATE else self.data)
        flags = 0
        crc = zlib.crc32(self.data) & 0xFFFFFFFF
        if self.descriptor:
            flags |= 0x08
        if self.password is not None:
            flags |= 0x01
            check = (self.time >> 8) if self.descriptor else (crc >> 24)
            header = bytes((i * 37 + 11) & 0xFF for i in range(11)) + bytes([check])
            body = ZipCrypto(self.password).encrypt(header + body)
        return body, flags, crc


def _fields(m, body, flags, crc, overrides):
    f = dict(flags=flags, method=m.method, time=m.time, date=m.date, crc=crc,
             csize=len(body), usize=len(m.data), name=m.name, extra=b"")
    f.update(overrides)
    return f


def build(members, comment=b"", tail=b"", end=None, prefix=b"", cd_extra=b""):
    """The archive's bytes. end overrides fields of the end record."""
    out = bytearray(prefix)
    centrals = bytearray()
    for m in members:
        body, flags, crc = m.payload()
        offset = len(out)
        lf = _fields(m, body, flags, crc, {})
        if m.descriptor:
            lf.update(crc=0, csize=0, usize=0)
        lf.update(m.local)
        out += struct.pack("<IHHHHHIIIHH", LOCAL_SIG, 20, lf["flags"], lf["method"], lf["time"], lf["date"],
                           lf["crc"], lf["csize"], lf["usize"], len(lf["name"]), len(lf["extra"]))
        out += lf["name"] + lf["extra"] + body
        if m.descriptor:
            d = dict(crc=crc, csize=len(body), usize=len(m.data))
            d.update(m.descriptor_fields)
            if m.descriptor == "signed":
                out += struct.pack("<I", DESCRIPTOR_SIG)
            out += struct.pack("<III", d["crc"], d["csize"], d["usize"])
        cf = _fields(m, body, flags, crc, dict(offset=offset))
        cf.update(m.central)
        centrals += struct.pack("<IHHHHHHIIIHHHHHII", CENTRAL_SIG, 20, 20, cf["flags"], cf["method"], cf["time"],
                                cf["date"], cf["crc"], cf["csize"], cf["usize"], len(cf["name"]), 0, 0, 0, 0, 0,
                                cf["offset"])
        centrals += cf["name"]
    centrals += cd_extra
    e = dict(disk=0, cd_disk=0, entries_here=len(members), entries=len(members), cd_size=len(centrals),
             cd_offset=len(out), comment_length=len(comment))
    e.update(end or {})
    out += centrals
    out += struct.pack("<IHHHHIIH", END_SIG, e["disk"], e["cd_disk"], e["entries_here"], e["entries"],
                       e["cd_size"], e["cd_offset"], e["comment_length"])
    return bytes(out + comment + tail)


def zip64_locator_before_end(archive):
    """Puts a Zip64 end locator just before the end record (the directory
    offset moves with it, so only the locator is wrong)."""
    end_at = archive.rindex(struct.pack("<I", END_SIG))
    locator = struct.pack("<IIQI", ZIP64_LOCATOR_SIG, 0, 0, 1)
    return archive[:end_at] + locator + archive[end_at:]
