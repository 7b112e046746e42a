#!/usr/bin/env python3
"""verify_zip.py ARCHIVE... [--method stored|deflated] NAME=PATH...

Checks each archive with two readers that share nothing with ours: Python's
zipfile (every member's CRC, the exact set of names, each member's bytes
against the file at PATH) and Info-ZIP's `unzip -t`. Exit status 0 when both
agree with the expectation; otherwise a line per fault on stderr."""
import subprocess
import sys
import zipfile

METHODS = {"stored": zipfile.ZIP_STORED, "deflated": zipfile.ZIP_DEFLATED}


def main(argv):
    archives = [a for a in argv[1:] if "=" not in a and not a.startswith("--") and a not in METHODS]
    method = METHODS[argv[argv.index("--method") + 1]] if "--method" in argv else None
    expected = dict(a.split("=", 1) for a in argv[1:] if "=" in a)
    faults = []
    for archive in archives:
        faults += check(archive, method, expected)
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


def check(archive, method, expected):
    faults = []
    with zipfile.ZipFile(archive) as z:
        bad = z.testzip()
        if bad is not None:
            faults.append(f"zipfile: member {bad!r} fails its CRC")
        names = z.namelist()
        if sorted(names) != sorted(expected):
            faults.append(f"zipfile: {archive}: names {sorted(names)} instead of {sorted(expected)}")
        for name, path in expected.items():
            if name not in names:
                continue
            with open(path, "rb") as f:
                if z.read(name) != f.read():
                    faults.append(f"zipfile: {name!r} differs from {path}")
            if method is not None and z.getinfo(name).compress_type != method:
                faults.append(f"zipfile: {name!r} has method {z.getinfo(name).compress_type}")
    unzip = subprocess.run(["unzip", "-tqq", archive], capture_output=True, text=True)
    if unzip.returncode != 0:
        faults.append(f"unzip -t: status {unzip.returncode}: {unzip.stdout}{unzip.stderr}")
    return faults


if __name__ == "__main__":
    sys.exit(main(sys.argv))
