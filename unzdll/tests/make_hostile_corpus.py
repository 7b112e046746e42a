#!/usr/bin/env python3
"""The hostile and damaged archives the unzip engine must refuse, each with
what must happen: the message (error code and text), what is extracted and
what is not. unzip_cases.py runs them; run alone, this script writes the
archives into a folder (make_hostile_corpus.py OUTDIR), e.g. to pick fuzz
seeds from.

Error codes: 1 archive refused, 2 name refused, 3 member refused,
4 password, 5 file system, 6 skipped, 7 duplicate name."""
import os
import struct
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from zipbuild import DEFLATE, STORED, Member, build, deflate, zip64_locator_before_end  # noqa: E402

GOOD = b"good member\n" * 10


class Case:
    def __init__(self, name, archive, args=(), result=0, files=None, messages=(), setup=None, specs=()):
        self.name = name
        self.archive = archive
        self.args = list(args)
        self.specs = list(specs)
        self.result = result
        self.files = files or {}  # path in the target (with /) -> bytes it must hold afterwards
        self.messages = list(messages)  # (error code, text it must contain)
        self.setup = setup or {}  # path -> bytes put into the target before the run


def name_cases():
    """Every sanitising rule, with a sound member beside the refused one."""
    cases = []
    refused_in_both = [
        ("colon", "file.txt:stream", "':'"),
        ("control", "bell\x07.txt", "control character"),
        ("nul", "nul\x00hidden.txt", "NUL character"),
        ("trailing_dot", "trailing.", "ends in a dot or a space"),
        ("trailing_space", "trailing ", "ends in a dot or a space"),
        ("con", "CON", "reserved device name"),
        ("con_ext", "con.txt", "reserved device name"),
        ("prn", "Prn.log", "reserved device name"),
        ("aux", "aux", "reserved device name"),
        ("nul_dev", "NUL.zip", "reserved device name"),
        ("com1", "COM1", "reserved device name"),
        ("com9", "com9.txt", "reserved device name"),
        ("lpt1", "LPT1.x", "reserved device name"),
        ("lpt9", "lpt9", "reserved device name"),
        ("dot", ".", "'.' element"),
        ("dotdot", "..", "'..' element"),
    ]
    for mode, args in (("flat", []), ("dirs", ["--dirs"])):
        for tag, name, why in refused_in_both:
            archive = build([Member(name, b"refused"), Member("good.txt", GOOD)])
            cases.append(Case(f"name_{tag}_{mode}", archive, args, 1, {"good.txt": GOOD}, [(2, why)]))
    folder_only = [
        ("traversal", "../outside/evil.txt", "'..' element", "evil.txt"),
        ("traversal_deep", "a/../../outside/evil.txt", "'..' element", "evil.txt"),
        ("traversal_backslash", "..\\outside\\evil.txt", "'..' element", "evil.txt"),
        ("absolute", "/outside/evil.txt", "absolute path", "evil.txt"),
        ("absolute_backslash", "\\outside\\evil.txt", "absolute path", "evil.txt"),
        ("drive", "C:\\outside\\evil.txt", "drive letter", "evil.txt"),
        ("drive_relative", "c:evil.txt", "drive letter", None),
        ("empty_element", "a//evil.txt", "empty name element", "evil.txt"),
        ("dot_element", "a/./evil.txt", "'.' element", "evil.txt"),
        ("device_folder", "sub/CON/evil.txt", "reserved device name", "evil.txt"),
        ("dotted_folder", "sub./evil.txt", "ends in a dot or a space", "evil.txt"),
    ]
    for tag, name, why, flat_name in folder_only:
        archive = build([Member(name, b"evil"), Member("good.txt", GOOD)])
        cases.append(Case(f"name_{tag}_dirs", archive, ["--dirs"], 1, {"good.txt": GOOD}, [(2, why)]))
        # Without folder names only the last element counts: the same member
        # lands inside the target under its last element, or is refused.
        if flat_name:
            cases.append(Case(f"name_{tag}_flat", archive, [], 2, {"good.txt": GOOD, flat_name: b"evil"}))
        else:
            cases.append(Case(f"name_{tag}_flat", archive, [], 1, {"good.txt": GOOD}, [(2, "':'")]))
    cases.append(Case("name_empty", build([Member("", b"x"), Member("good.txt", GOOD)]), [], 1,
                      {"good.txt": GOOD}, [(2, "no name")]))
    cases.append(Case("folder_entries_skipped", build([Member("sub/", b"", STORED), Member("sub/a.txt", GOOD)]),
                      ["--dirs"], 1, {"sub/a.txt": GOOD}))
    cases.append(Case("folder_entry_traversal_skipped", build([Member("../evil/", b"", STORED)]), ["--dirs"], 0))
    cases.append(Case("duplicate_case", build([Member("a.txt", b"first"), Member("A.TXT", b"second")]), [], 1,
                      {"a.txt": b"first"}, [(7, "same name")]))
    cases.append(Case("duplicate_flattened", build([Member("x/a.txt", b"first"), Member("y/a.txt", b"second")]),
                      [], 1, {"a.txt": b"first"}, [(7, "same name")]))
    cases.append(Case("duplicate_kept_apart_with_dirs",
                      build([Member("x/a.txt", b"first"), Member("y/a.txt", b"second")]), ["--dirs"], 2,
                      {"x/a.txt": b"first", "y/a.txt": b"second"}))
    return cases


def damage_cases():
    cases = []
    old = b"existing file, must survive\n"
    for method, tag in ((STORED, "stored"), (DEFLATE, "deflate")):
        bad = Member("a.txt", GOOD, method, central={"crc": 0x12345678}, local={"crc": 0x12345678})
        cases.append(Case(f"crc_mismatch_{tag}", build([bad, Member("b.txt", GOOD)]), ["--overwrite"], 1,
                          {"a.txt": old, "b.txt": GOOD}, [(3, "CRC-32 error")], setup={"a.txt": old}))
    cases.append(Case("crc_mismatch_leaves_no_folder",
                      build([Member("newdir/deeper/a.txt", GOOD, central={"crc": 1}, local={"crc": 1})]), ["--dirs"],
                      0, {}, [(3, "CRC-32 error")]))
    cases.append(Case("crc_mismatch_test_mode",
                      build([Member("a.txt", GOOD, central={"crc": 1}, local={"crc": 1}), Member("b.txt", GOOD)]),
                      ["--test"], 1, {}, [(3, "CRC-32 error")]))
    big = bytes(range(256)) * 8192  # 2 MB: the damage sits past the first chunk
    damaged = bytearray(deflate(big))
    damaged[len(damaged) // 2] ^= 0xFF
    cases.append(Case("deflate_stream_damaged", build([Member("big.bin", big, raw=bytes(damaged))]), ["--overwrite"],
                      0, {"big.bin": old}, [(3, "")], setup={"big.bin": old}))
    cases.append(Case("deflate_ends_early", build([Member("a.txt", GOOD, raw=deflate(GOOD)[:-3])]), [], 0, {},
                      [(3, "")]))
    cases.append(Case("deflate_trailing_bytes", build([Member("a.txt", GOOD, raw=deflate(GOOD) + b"junk")]), [], 0,
                      {}, [(3, "goes on past the end")]))
    # Size lies.
    lie = len(GOOD) + 100
    cases.append(Case("size_larger_than_data", build([Member("a.txt", GOOD, central={"usize": lie},
                                                             local={"usize": lie})]), [], 0, {},
                      [(3, "shorter than its stated size")]))
    cases.append(Case("size_smaller_than_data", build([Member("a.txt", GOOD, central={"usize": 10},
                                                             local={"usize": 10})]), [], 0, {},
                      [(3, "expands beyond its stated size")]))
    cases.append(Case("stored_sizes_disagree", build([Member("a.txt", GOOD, STORED, central={"usize": 5},
                                                            local={"usize": 5})]), [], 0, {},
                      [(3, "sizes disagree")]))
    cases.append(Case("compressed_size_beyond_archive",
                      build([Member("a.txt", GOOD, central={"csize": 1 << 30}, local={"csize": 1 << 30})]), [], 0,
                      {}, [(3, "runs past the end")]))
    cases.append(Case("local_offset_beyond_archive", build([Member("a.txt", GOOD, central={"offset": 1 << 30})]), [],
                      0, {}, [(3, "local header is missing")]))
    # The local header and the central directory disagree.
    for tag, fields, why in (("name", {"name": b"other.txt"}, "names another member"),
                             ("method", {"method": STORED}, "method or flags"),
                             ("crc", {"crc": 7}, "CRC or sizes"),
                             ("csize", {"csize": 3}, "CRC or sizes"),
                             ("usize", {"usize": 3}, "CRC or sizes"),
                             ("encryption_flag", {"flags": 1}, "method or flags")):
        cases.append(Case(f"local_mismatch_{tag}", build([Member("a.txt", GOOD, local=fields),
                                                          Member("b.txt", GOOD)]), [], 1, {"b.txt": GOOD},
                          [(3, why)]))
    cases.append(Case("unsupported_method", build([Member("a.bz2", GOOD, method=12, raw=GOOD)]), [], 0, {},
                      [(3, "compression method 12")]))
    cases.append(Case("strong_encryption", build([Member("a.txt", GOOD, central={"flags": 0x41},
                                                        local={"flags": 0x41})]), [], 0, {},
                      [(3, "encryption is not supported")]))
    return cases


def descriptor_cases():
    cases = []
    for kind in ("signed", "unsigned"):
        for method, tag in ((STORED, "stored"), (DEFLATE, "deflate")):
            cases.append(Case(f"descriptor_{kind}_{tag}", build([Member("a.txt", GOOD, method, descriptor=kind),
                                                                Member("b.txt", GOOD)]), [], 2,
                              {"a.txt": GOOD, "b.txt": GOOD}))
    cases.append(Case("descriptor_with_local_values", build([Member("a.txt", GOOD, descriptor="signed",
                                                                   local={"crc": 0, "csize": 0, "usize": 0})]),
                      [], 1, {"a.txt": GOOD}))
    cases.append(Case("descriptor_disagrees", build([Member("a.txt", GOOD, descriptor="signed",
                                                           descriptor_fields={"usize": 1}), Member("b.txt", GOOD)]),
                      [], 1, {"b.txt": GOOD}, [(3, "data descriptor disagrees")]))
    only = build([Member("a.txt", GOOD, descriptor="unsigned")])
    # The directory follows the data at once: the descriptor's 12 bytes are gone.
    at = 30 + len(b"a.txt") + len(deflate(GOOD))
    cut = only[:at] + only[at + 12:]
    end_at = cut.rindex(b"PK\x05\x06")
    cut = cut[:end_at + 16] + struct.pack("<I", at) + cut[end_at + 20:]
    cases.append(Case("descriptor_missing", cut, [], 0, {}, [(3, "data descriptor is missing")]))
    cases.append(Case("descriptor_local_nonzero_differs",
                      build([Member("a.txt", GOOD, descriptor="signed", local={"crc": 5, "csize": 0, "usize": 0})]),
                      [], 0, {}, [(3, "CRC or sizes")]))
    return cases


def structure_cases():
    cases = []
    one = Member("a.txt", GOOD)
    # Two central entries naming one local header: the classic overlap.
    twice = build([one, Member("b.txt", GOOD, central={"offset": 0, "name": b"a.txt"})])
    cases.append(Case("overlap_same_header", twice, [], 0, {}, [(1, "overlap")]))
    # The second member's header sits inside the first member's data.
    data = b"x" * 200
    inner = build([Member("inner.txt", b"payload", STORED)])
    outer_data = data[:50] + inner[:inner.index(b"PK\x01\x02")] + data[50:]
    archive = build([Member("outer.bin", outer_data, STORED)])
    cd_at = archive.index(b"PK\x01\x02")
    inner_offset = 30 + len(b"outer.bin") + 50
    extra_entry = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, STORED, 0, 0,
                              int.from_bytes(inner[14:18], "little"), 7, 7, 9, 0, 0, 0, 0, 0, inner_offset) + b"inner.txt"
    end = archive.rindex(b"PK\x05\x06")
    centrals = archive[cd_at:end] + extra_entry
    overlapped = archive[:cd_at] + centrals + struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 2, 2, len(centrals), cd_at, 0)
    cases.append(Case("overlap_nested_member", overlapped, [], 0, {}, [(1, "overlap")]))
    cases.append(Case("not_a_zip", b"this is plainly not a zip archive" * 10, [], 0, {},
                      [(1, "no end of central directory")]))
    cases.append(Case("empty_file", b"", [], 0, {}, [(1, "no end of central directory")]))
    cases.append(Case("empty_archive", build([]), [], 0, {}))
    good = build([Member("a.txt", GOOD)])
    cases.append(Case("trailing_garbage", good + b"garbage", [], 0, {}, [(1, "no end of central directory")]))
    cases.append(Case("comment_length_lies", build([Member("a.txt", GOOD)], comment=b"hello", end={"comment_length": 2}),
                      [], 0, {}, [(1, "no end of central directory")]))
    cases.append(Case("comment_kept", build([Member("a.txt", GOOD)], comment=b"PK\x05\x06 a comment"), [], 1,
                      {"a.txt": GOOD}))
    cases.append(Case("multi_disk", build([Member("a.txt", GOOD)], end={"disk": 1, "cd_disk": 1}), [], 0, {},
                      [(1, "several disks")]))
    cases.append(Case("zip64_locator", zip64_locator_before_end(good), [], 0, {}, [(1, "Zip64")]))
    cases.append(Case("zip64_member", build([Member("a.txt", GOOD, central={"usize": 0xFFFFFFFF})]), [], 0, {},
                      [(3, "Zip64")]))
    cases.append(Case("entry_count_too_high", build([Member("a.txt", GOOD)], end={"entries": 2, "entries_here": 2}),
                      [], 0, {}, [(1, "damaged")]))
    cases.append(Case("entry_count_too_low", build([Member("a.txt", GOOD), Member("b.txt", GOOD)],
                                                   end={"entries": 1, "entries_here": 1}), [], 0, {},
                      [(1, "more than its entries")]))
    cases.append(Case("directory_misplaced", build([Member("a.txt", GOOD)], end={"cd_offset": 3}), [], 0, {},
                      [(1, "not where the end record")]))
    cases.append(Case("directory_size_lies", build([Member("a.txt", GOOD)], cd_extra=b"\0" * 10), [], 0, {},
                      [(1, "more than its entries")]))
    return cases


def truncation_cases():
    """The same sound archive cut at many points: every cut loses the end
    record, and the archive is refused before anything is written."""
    members = [Member("a.txt", GOOD), Member("b.bin", bytes(range(256)) * 64, STORED), Member("c.txt", GOOD * 50)]
    whole = build(members)
    cases = []
    step = max(1, len(whole) // 40)
    for cut in list(range(0, len(whole), step)) + [len(whole) - 1]:
        cases.append(Case(f"truncated_at_{cut}", whole[:cut], [], 0, {}, [(1, "")]))
    return cases


def password_cases():
    secret = b"Quillbox"
    cases = []
    for method, tag in ((STORED, "stored"), (DEFLATE, "deflate")):
        enc = build([Member("secret.txt", GOOD, method, password=secret), Member("plain.txt", GOOD)])
        cases.append(Case(f"encrypted_{tag}_right_password", enc, ["--password", "Quillbox"], 2,
                          {"secret.txt": GOOD, "plain.txt": GOOD}))
        cases.append(Case(f"encrypted_{tag}_wrong_password", enc, ["--password", "Quillbux"], 1,
                          {"plain.txt": GOOD}, [(4, "")]))
        cases.append(Case(f"encrypted_{tag}_no_password", enc, [], 1, {"plain.txt": GOOD},
                          [(4, "no password was given")]))
    desc = build([Member("secret.txt", GOOD, DEFLATE, password=secret, descriptor="signed")])
    cases.append(Case("encrypted_with_descriptor", desc, ["--password", "Quillbox"], 1, {"secret.txt": GOOD}))
    return cases


def all_cases():
    return name_cases() + damage_cases() + descriptor_cases() + structure_cases() + truncation_cases() + \
        password_cases()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_hostile_corpus.py OUTDIR")
    os.makedirs(sys.argv[1], exist_ok=True)
    for case in all_cases():
        with open(os.path.join(sys.argv[1], case.name + ".zip"), "wb") as f:
            f.write(case.archive)
