#!/usr/bin/env python3
"""unzip_bench_archives.py OUTDIR [NAME...]: writes the unzip benchmark's
archives into OUTDIR (deterministic), those NAMEd or both:
  mixed.zip  about 1,000 files of mixed sizes and kinds, about 100 MB
  large.zip  20 files of 4 MB
Kinds: text (compresses well), structured binary (compresses somewhat),
random bytes (does not compress). Deflate at zipfile's default level."""
import os
import random
import sys
import zipfile


def corpora(rng):
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 10))) for _ in range(4000)]
    text = b" ".join(rng.choice(words) + (b"\r\n" if rng.random() < 0.1 else b"") for _ in range(600_000))
    binary = b"".join(rng.randint(0, 4000).to_bytes(4, "little") + bytes(rng.choice((0, 0, 0, 255, 7)) for _ in range(12))
                      for _ in range(200_000))
    noise = rng.randbytes(4_000_000)
    return [text, binary, noise]


def piece(rng, corpus, size):
    start = rng.randrange(0, max(1, len(corpus) - size))
    out = corpus[start:start + size]
    while len(out) < size:
        out += corpus[:size - len(out)]
    return out


def write(path, members):
    tmp = path + ".part"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in members:
            z.writestr(name, data)
    os.replace(tmp, path)


def main():
    out = sys.argv[1]
    wanted = set(sys.argv[2:]) or {"mixed.zip", "large.zip"}
    os.makedirs(out, exist_ok=True)
    kinds = corpora(random.Random(2026))
    if "mixed.zip" in wanted and not os.path.exists(os.path.join(out, "mixed.zip")):
        rng, members, total = random.Random(2027), [], 0
        for i in range(1000):
            # Log-uniform sizes from 1 KB to 512 KB, plus ten files of 2 MB.
            size = int(1024 * 2 ** rng.uniform(0, 9)) if i % 100 else 2_000_000
            kind = rng.choices(kinds, weights=(5, 3, 2))[0]
            members.append((f"dir{i % 17}/file{i:04d}.dat", piece(rng, kind, size)))
            total += size
        write(os.path.join(out, "mixed.zip"), members)
        print(f"mixed.zip: {len(members)} files, {total / 1e6:.0f} MB")
    if "large.zip" in wanted and not os.path.exists(os.path.join(out, "large.zip")):
        rng = random.Random(2028)
        members = [(f"large{i:02d}.bin", piece(rng, kinds[i % 3], 4_000_000)) for i in range(20)]
        write(os.path.join(out, "large.zip"), members)
        print("large.zip: 20 files, 80 MB")


if __name__ == "__main__":
    main()
