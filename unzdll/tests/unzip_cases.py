#!/usr/bin/env python3
"""Runs the unzip library's interface call (unzip_cli, natively or a
Windows build through Wine) on archives written by Python's zipfile (round
trips of every flag, selection, cancel) and on the hostile corpus of
make_hostile_corpus.py. For every case it checks the result, the messages,
the exact set of files in the target folder and their bytes, and that
nothing beside the target folder changed.

usage: unzip_cases.py [--pick NAME,NAME...] [EMULATOR...] UNZIP_CLI

--pick runs only the cases named (a Windows build under Wine, where every
run starts a Wine process, takes a sample; the native builds run all)."""
import io
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from make_hostile_corpus import Case, all_cases  # noqa: E402

MEMBER_TIME = (2020, 1, 2, 3, 4, 6)


def zip_bytes(entries, compression=zipfile.ZIP_DEFLATED):
    """entries: (name, bytes) or (name, bytes, compression)."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as z:
        for entry in entries:
            info = zipfile.ZipInfo(entry[0], MEMBER_TIME)
            info.compress_type = entry[2] if len(entry) > 2 else compression
            z.writestr(info, entry[1])
    return buffer.getvalue()


def sample_files():
    rng = random.Random(4)
    text = b"".join(b"card %d of the TAV Quillbox index\n" % i for i in range(9000))
    return [
        ("empty.txt", b""),
        ("one.bin", b"\x01"),
        ("text.txt", text),
        ("random.bin", bytes(rng.getrandbits(8) for _ in range(1_500_000))),
        ("stored.bin", bytes(rng.getrandbits(8) for _ in range(2_500_000)), zipfile.ZIP_STORED),
        ("sub/deep/nested.txt", b"nested\n" * 1000),
        ("sub/", b""),
    ]


def flat(files):
    return {name.rsplit("/", 1)[-1]: data for name, data, *_ in files if not name.endswith("/")}


def with_dirs(files):
    return {name: data for name, data, *_ in files if not name.endswith("/")}


def round_trip_cases():
    files = sample_files()
    archive = zip_bytes(files)
    stored = zip_bytes(files, zipfile.ZIP_STORED)
    old = b"an older file\n"
    cases = [
        Case("rt_flat", archive, [], 6, flat(files)),
        Case("rt_dirs", archive, ["--dirs"], 6, with_dirs(files)),
        Case("rt_stored_dirs", stored, ["--dirs"], 6, with_dirs(files)),
        Case("rt_test_writes_nothing", archive, ["--test", "--dirs"], 6, {}),
        Case("rt_select_wildcards", archive, [], 4, {k: v for k, v in flat(files).items() if k in
                                                   ("empty.txt", "text.txt", "one.bin", "nested.txt")},
             specs=["*.TXT", "one.?in", "zzz"]),
        Case("rt_select_path", archive, ["--dirs"], 1, {"sub/deep/nested.txt": b"nested\n" * 1000},
             specs=["SUB\\*"]),
        Case("rt_existing_kept_without_overwrite", archive, [], 5, {**flat(files), "text.txt": old},
             [(6, "overwriting is off")], setup={"text.txt": old}),
        Case("rt_existing_replaced_with_overwrite", archive, ["--overwrite"], 6, flat(files),
             setup={"text.txt": old}),
        Case("rt_folder_in_the_way", archive, ["--overwrite"], 5,
             {k: v for k, v in flat(files).items() if k != "one.bin"}, [(5, "a folder of that name exists")],
             setup={"one.bin/": None}),
        Case("rt_verbose", archive, ["--verbose"], 6, flat(files), [(0, "extracted")]),
    ]
    # Enough members and sizes that the decoding workers run ahead of the
    # writer, fill their memory budget and hand over in order.
    rng = random.Random(9)
    many = [(f"m{i:03d}/f.bin" if i % 7 == 0 else f"m{i:03d}.bin",
             rng.randbytes(rng.choice((0, 1, 300, 70_000, 300_000))) * rng.choice((1, 2)))
            for i in range(200)]
    cases.append(Case("rt_many_members", zip_bytes(many), ["--dirs"], 200, with_dirs(many)))
    three = zip_bytes([("a.txt", b"new a"), ("b.txt", b"new b"), ("c.txt", b"new c")])
    older = (b"old a", 946684800)  # 2000-01-01: older than the members
    newer = (b"newer b", 1893456000)  # 2030-01-01: newer than the members
    cases.append(Case("rt_freshen", three, ["--freshen"], 1, {"a.txt": b"new a", "b.txt": b"newer b"},
                      [(6, "not older"), (6, "no file to freshen")], setup={"a.txt": older, "b.txt": newer}))
    cases.append(Case("rt_update", three, ["--update"], 2, {"a.txt": b"new a", "b.txt": b"newer b", "c.txt": b"new c"},
                      [(6, "not older")], setup={"a.txt": older, "b.txt": newer}))
    cases.append(Case("rt_update_wins_over_freshen", three, ["--update", "--freshen"], 3,
                      {"a.txt": b"new a", "b.txt": b"new b", "c.txt": b"new c"}))
    return cases


def cancel_cases():
    archive = zip_bytes([("a.txt", b"a" * 10), ("b.bin", os.urandom(3_000_000)), ("c.txt", b"c")])
    # Callbacks: 1 a, 2, 1 b, 2, 2, 2, 1 c, 2, 3. Stopping at the fourth
    # (b's first step) leaves a in place and b nowhere.
    return [Case("cancel_in_member", archive, ["--stop-at", "4"], 1, {"a.txt": b"a" * 10}),
            Case("cancel_at_start", archive, ["--stop-at", "1"], 0, {})]


def snapshot(folder):
    state = {}
    for root, dirs, names in os.walk(folder):
        for d in dirs:
            state[os.path.relpath(os.path.join(root, d), folder).replace(os.sep, "/") + "/"] = None
        for n in names:
            path = os.path.join(root, n)
            with open(path, "rb") as f:
                state[os.path.relpath(path, folder).replace(os.sep, "/")] = f.read()
    return state


def prepare(folder, case):
    target = os.path.join(folder, "target")
    os.makedirs(target)
    outside = os.path.join(folder, "outside")
    os.makedirs(outside)
    with open(os.path.join(outside, "sentinel.txt"), "wb") as f:
        f.write(b"must stay as it is")
    with open(os.path.join(folder, "archive.zip"), "wb") as f:
        f.write(case.archive)
    for name, content in case.setup.items():
        path = os.path.join(target, name)
        if content is None:
            os.makedirs(path)
            continue
        data, mtime = content if isinstance(content, tuple) else (content, None)
        with open(path, "wb") as f:
            f.write(data)
        if mtime:
            os.utime(path, (mtime, mtime))
    return target


def parse(output):
    events, result = [], None
    for line in output.splitlines():
        if line.startswith("result "):
            result = int(line.split()[1])
        else:
            parts = line.split(" ", 2)
            events.append((int(parts[0]), parts[1:] if len(parts) > 1 else []))
    return events, result


def expected_tree(case):
    tree = {}
    for name, data in case.files.items():
        tree[name] = data
        parts = name.split("/")[:-1]
        for i in range(1, len(parts) + 1):
            tree["/".join(parts[:i]) + "/"] = None
    for name, content in case.setup.items():
        if content is None:
            tree[name] = None
    return tree


def check(case, folder, proc):
    problems = []
    events, result = parse(proc.stdout)
    if result is None:
        return [f"no result (exit {proc.returncode}): {proc.stderr.strip()[:300]}"]
    if case.result is not None and result != case.result:
        problems.append(f"result {result}, expected {case.result}")
    messages = [(int(rest[0]), rest[1] if len(rest) > 1 else "") for code, rest in events if code >= 4]
    for code, text in case.messages:
        if not any(c == code and text in t for c, t in messages):
            problems.append(f"no message ({code}, {text!r}) among {messages}")
    expected_codes = {code for code, _ in case.messages}
    for c, t in messages:
        if c not in expected_codes and c != 0:
            problems.append(f"unexpected message ({c}, {t!r})")
    stops = [a for a in case.args if a == "--stop-at"]
    if not stops and [code for code, _ in events].count(3) != 1 or not stops and events and events[-1][0] != 3:
        problems.append("the batch end is not the last callback, exactly once")
    if stops and len(events) != int(case.args[case.args.index("--stop-at") + 1]):
        problems.append(f"{len(events)} callbacks after a stop")
    starts = [rest for code, rest in events if code == 1]
    for rest in starts:
        size, name = int(rest[0]), rest[1]
        leaf = name.replace("\\", "/")
        if leaf in case.files and leaf not in case.setup and len(case.files[leaf]) != size:
            problems.append(f"member start of {name} gives size {size}")
    got = snapshot(os.path.join(folder, "target"))
    want = expected_tree(case)
    if got != want:
        extra = sorted(set(got) - set(want))
        missing = sorted(set(want) - set(got))
        differ = sorted(k for k in set(got) & set(want) if got[k] != want[k])
        problems.append(f"target differs: extra {extra}, missing {missing}, different {differ}")
    beside = snapshot(folder)
    beside = {k: v for k, v in beside.items() if not k.startswith("target/")}
    if beside != {"archive.zip": case.archive, "outside/": None,
                  "outside/sentinel.txt": b"must stay as it is"}:
        problems.append(f"something changed beside the target: {sorted(beside)}")
    if case.files and "--test" not in case.args:
        for name in case.files:
            if name in case.setup:
                continue
            mtime = os.stat(os.path.join(folder, "target", name)).st_mtime
            if abs(mtime - time.mktime(MEMBER_TIME + (0, 0, -1))) > 2:
                problems.append(f"{name} has not the member's time")
    return problems


def run(command, folder):
    """Runs command in folder. The output goes through files, not pipes: a
    wineserver started by the run inherits the pipes and would hold them
    open for seconds after the program ended."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(command, cwd=folder, stdout=out, stderr=err, timeout=120).returncode
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(command, code, out.read().decode("latin-1"), err.read().decode("latin-1"))


def main():
    args = sys.argv[1:]
    picked = None
    if args[:1] == ["--pick"]:
        picked, args = set(args[1].split(",")), args[2:]
    command = [os.path.abspath(a) if os.path.exists(a) else a for a in args]
    cases = [c for c in round_trip_cases() + cancel_cases() + all_cases() if picked is None or c.name in picked]
    if picked is not None and len(cases) != len(picked):
        sys.exit("unzip_cases: unknown case among " + ",".join(sorted(picked)))
    work = tempfile.mkdtemp(prefix="unzip_cases_")
    failures = 0
    try:
        for case in cases:
            folder = os.path.join(work, case.name)
            os.makedirs(folder)
            prepare(folder, case)
            proc = run(command + ["--into", "target"] + case.args + ["../archive.zip"] + case.specs, folder)
            problems = check(case, folder, proc)
            for p in problems:
                print(f"FAIL {case.name}: {p}")
            failures += bool(problems)
            shutil.rmtree(folder)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"unzip cases: {len(cases) - failures} of {len(cases)} passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
