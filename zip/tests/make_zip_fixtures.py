#!/usr/bin/env python3
"""Writes the zip archives the directory tests read, made by Python's
zipfile as an independent writer, with a manifest of what each holds:
one line per member, "name crc32 compressed-size size method"."""
import io
import sys
import zipfile
from pathlib import Path


def write_manifest(path, archive):
    with zipfile.ZipFile(io.BytesIO(archive)) as z:
        lines = [f"{i.filename} {i.CRC} {i.compress_size} {i.file_size} {i.compress_type}"
                 for i in z.infolist()]
    path.write_text("\n".join(lines) + "\n")


def archive(members):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as z:
        for name, data, method in members:
            z.writestr(zipfile.ZipInfo(name, (2024, 5, 17, 12, 30, 44)), data, compress_type=method)
    return buffer.getvalue()


def main(out):
    out.mkdir(parents=True, exist_ok=True)
    text = b"".join(b"line %d of a text that compresses well\r\n" % i for i in range(400))
    three = archive([
        ("ReadMe.txt", text, zipfile.ZIP_DEFLATED),
        ("stored.bin", bytes(range(256)) * 3, zipfile.ZIP_STORED),
        ("folder/empty.txt", b"", zipfile.ZIP_DEFLATED),
    ])
    (out / "three.zip").write_bytes(three)
    # The members' contents, for extraction round trips.
    (out / "three").mkdir(exist_ok=True)
    (out / "three" / "ReadMe.txt").write_bytes(text)
    (out / "three" / "stored.bin").write_bytes(bytes(range(256)) * 3)
    (out / "three" / "empty.txt").write_bytes(b"")
    write_manifest(out / "three.txt", three)

    long_name = archive([("d/" + "n" * 298, b"long", zipfile.ZIP_STORED),
                         ("after.txt", b"after", zipfile.ZIP_DEFLATED)])
    (out / "long_name.zip").write_bytes(long_name)
    write_manifest(out / "long_name.txt", long_name)

    # A self-extractor: a program part with no 0x50 byte, then the archive.
    (out / "setup.ExE").write_bytes(bytes(14100) + three)
    # An archive that begins before offset 14000: its one header is missed.
    early = archive([("big.bin", b"x" * 20000, zipfile.ZIP_STORED)])
    (out / "early.EXE").write_bytes(early)
    (out / "early.zip").write_bytes(early)


if __name__ == "__main__":
    main(Path(sys.argv[1]))
