// LZRW1-KH block compressor and expander.
//
// Speed comes from the implementation, never from the format: the
// compressor probes every position exactly as the reference steps do, but
// compares words instead of bytes; the expander copies runs of literals and
// back references in wide chunks while the buffers have room, and falls back
// to exact, checked byte steps near either end.
#include "filestore/LZRW1KH.h"
#include "filestore/Lzrw1KHHashTable.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "the word compares assume a little-endian host");

namespace {

constexpr std::uint32_t kMaxOffset = 4095;
constexpr std::uint32_t kMinMatch = 3;
constexpr std::uint32_t kMaxMatch = 18;
constexpr std::uint32_t kMinRun = 16;
constexpr std::uint32_t kMaxRun = 4095;


std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

std::uint32_t Load16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

std::uint32_t HashAt(const std::uint8_t* p) {
  const std::uint32_t v = ((static_cast<std::uint32_t>(p[0]) << 4 ^ p[1]) << 4) ^ p[2];
  return ((v * 40543u) >> 4) & 0x0FFF;
}

// How many of the 18 bytes at a equal those at b, without a branch: whether
// a match continues is as unpredictable as whether it starts.
std::uint32_t MatchLength18(const std::uint8_t* a, const std::uint8_t* b) {
  const auto first = static_cast<std::uint32_t>(std::countr_zero(Load64(a) ^ Load64(b))) / 8;
  const auto second = static_cast<std::uint32_t>(std::countr_zero(Load64(a + 8) ^ Load64(b + 8))) / 8;
  const auto third = static_cast<std::uint32_t>(std::countr_zero((Load16(a + 16) ^ Load16(b + 16)) | 0x10000u)) / 8;
  return first < 8 ? first : second < 8 ? 8 + second : 16 + third;
}

// The same near the block's end, byte by byte, at most limit bytes.
std::uint32_t MatchLengthNear(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t limit) {
  std::uint32_t length = 0;
  while (length < limit && a[length] == b[length]) ++length;
  return length;
}

// Positions at least this far from the block's end need no end checks: a
// match compares 18 bytes, a run test reads 16.
constexpr std::uint32_t kFarFromEnd = 32;

// Length of the run of equal bytes starting at x, capped at 4,095 and at the
// block's end, when it is long enough for a run item; otherwise 0.
template <bool kNearEnd>
std::uint32_t RunLengthAt(const std::uint8_t* s, std::uint32_t x, std::uint32_t n) {
  if (kNearEnd && n - x < kMinRun) return 0;
  // Bytes x..x+8 equal and bytes x+7..x+15 equal: 16 equal bytes, read
  // within the 16 that a run item needs.
  if (s[x + 1] != s[x] || Load64(s + x) != Load64(s + x + 1) || Load64(s + x + 7) != Load64(s + x + 8)) return 0;
  const std::uint64_t pattern = Load64(s + x);
  const std::uint32_t limit = std::min(kMaxRun, n - x);
  std::uint32_t r = kMinRun;
  while (r + 8 <= limit) {
    const std::uint64_t diff = Load64(s + x + r) ^ pattern;
    if (diff != 0) return r + static_cast<std::uint32_t>(std::countr_zero(diff)) / 8;
    r += 8;
  }
  while (r < limit && s[x + r] == s[x]) ++r;
  return r;
}

void PutWord(std::uint8_t* at, std::uint32_t word) {
  at[0] = static_cast<std::uint8_t>(word >> 8);
  at[1] = static_cast<std::uint8_t>(word);
}

[[noreturn]] void Damaged(const char* what) {
  throw ELzrw1KHCompressor(std::string("LZRW1KH : damaged block (") + what + ")");
}

// Room that one wide expander step may touch.
constexpr std::ptrdiff_t kStepInput = 24;
constexpr std::ptrdiff_t kStepOutput = 40;

std::uint32_t ControlWordAt(const std::uint8_t* at) { return static_cast<std::uint32_t>(at[0]) << 8 | at[1]; }

std::uint32_t OffsetOf(const std::uint8_t* item) { return static_cast<std::uint32_t>(item[0]) << 4 | item[1] >> 4; }

// Repeats len (3..18) bytes that start off bytes back. Copying in 8-byte
// chunks is exact when off is at least 8 (each chunk reads only bytes already
// written); offset 1 repeats one byte. Up to 24 bytes are written: the caller
// guarantees that room.
void CopyMatchWide(std::uint8_t* op, std::uint32_t off, std::uint32_t len) {
  const std::uint8_t* from = op - off;
  if (off >= 8) {
    std::memcpy(op, from, 8);
    std::memcpy(op + 8, from + 8, 8);
    std::memcpy(op + 16, from + 16, 8);
  } else if (off == 1) {
    std::memset(op, from[0], 24);
  } else {
    for (std::uint32_t k = 0; k < len; ++k) op[k] = from[k];
  }
}

// Writes the run item at item (4 bytes) at op, refusing one that would pass
// the end of the output; returns the new end of the output.
std::uint8_t* ExpandRun(const std::uint8_t* item, std::uint8_t* op, const std::uint8_t* oend) {
  const std::uint32_t count = ((item[1] & 0x0Fu) << 8 | item[2]) + kMinRun;
  if (count > static_cast<std::uint32_t>(oend - op)) Damaged("output past 32783 bytes");
  std::memset(op, item[3], count);
  return op + count;
}

// One probe of the table at x (x + 3 <= n): records x and returns the entry
// it replaced as a candidate position, or unusable. The table holds signed
// positions: empty entries (-1) and positions of 32,768 and above read back
// negative and are never candidates, nor are positions more than 4,095 back.
// On incompressible data that test is a coin toss, so it is computed with
// plain arithmetic (a branch would be mispredicted half the time): an
// unusable entry yields position 0, which is in bounds, and callers fold
// `unusable` into their match test.
struct Candidate {
  std::uint32_t position;
  std::uint32_t unusable;  // 0 or 1
};

template <bool kNearEnd>
inline Candidate ProbeTable(std::int16_t* __restrict table, const std::uint8_t* __restrict source, std::uint32_t x) {
  std::int16_t& slot = table[HashAt(source + x)];
  const auto stored = static_cast<std::uint16_t>(slot);
  slot = static_cast<std::int16_t>(x);
  // Read unsigned, a negative entry is a position above x (too far, with the
  // difference wrapping) except for the last 15 positions of a full block,
  // which lie near its end: only there does the sign need its own test.
  const std::uint32_t tooFar = (x - stored - 1u) >= kMaxOffset ? 1u : 0u;
  const std::uint32_t unusable = kNearEnd ? (static_cast<std::uint32_t>(stored) >> 15) | tooFar : tooFar;
  return {stored & (unusable - 1u), unusable};
}

// FindMatch with the table passed in: the caller keeps it in a register,
// since every byte stored to dest could otherwise alias the global pointer.
template <bool kNearEnd>
inline Lzrw1KHMatch Probe(std::int16_t* __restrict table, const std::uint8_t* __restrict source, std::uint32_t x,
                          std::uint32_t n) {
  // The last two positions hash bytes past the block's end and can never
  // match (a match needs three bytes), so they are not probed at all: the
  // block's bytes are all that is read, and the output is the same.
  if (kNearEnd && x + kMinMatch > n) return {};
  const Candidate candidate = ProbeTable<kNearEnd>(table, source, x);
  const std::uint8_t* here = source + x;
  const std::uint8_t* there = source + candidate.position;
  const std::uint32_t limit = kNearEnd ? std::min<std::uint32_t>(kMaxMatch, n - x) : kMaxMatch;
  std::uint32_t length = 0;
  if (limit == kMaxMatch) {
    // Most probes miss; three bytes decide that with one word compare.
    if ((((Load32(here) ^ Load32(there)) & 0xFFFFFF) | candidate.unusable) != 0) return {};
    length = MatchLength18(here, there);
  } else {
    if (candidate.unusable != 0) return {};
    length = MatchLengthNear(here, there, limit);
  }
  if (length < kMinMatch) return {};
  return {true, static_cast<std::uint16_t>(candidate.position), static_cast<std::uint16_t>(length)};
}

}  // namespace

Lzrw1KHMatch FindMatch(const std::uint8_t* source, std::uint16_t x, std::uint16_t n) {
  return Probe<true>(gLzrwHashTable, source, x, n);
}

namespace {

struct Coder {
  std::uint32_t x = 0;      // input position
  std::uint32_t y = 3;      // output position
  std::uint32_t z = 1;      // the current group's control word
  std::uint32_t items = 0;  // items in the current group
  std::uint32_t cw = 0;     // control bits; only the low 16 count
};

// One step of the compressor: a run item, a back reference or a literal at
// c.x. kNearEnd: the position is within kFarFromEnd of the block's end, where
// every read must be checked against n.
template <bool kNearEnd>
inline void CodeItem(std::int16_t* __restrict table, const std::uint8_t* __restrict source,
                     std::uint8_t* __restrict dest, std::uint32_t n, Coder& c) {
  if (c.items == 16) {
    PutWord(dest + c.z, c.cw);
    c.z = c.y;
    c.y += 2;
    c.items = 0;
  }
  if (const std::uint32_t run = RunLengthAt<kNearEnd>(source, c.x, n); run != 0) {
    dest[c.y] = 0;
    PutWord(dest + c.y + 1, run - kMinRun);
    dest[c.y + 3] = source[c.x];
    c.y += 4;
    c.x += run;
    c.cw = c.cw << 1 | 1;
  } else if (const Lzrw1KHMatch match = Probe<kNearEnd>(table, source, c.x, n); match.found) {
    PutWord(dest + c.y, (c.x - match.position) << 4 | (match.length - kMinMatch));
    c.y += 2;
    c.x += match.length;
    c.cw = c.cw << 1 | 1;
  } else {
    dest[c.y++] = source[c.x++];
    c.cw <<= 1;
  }
  ++c.items;
}

}  // namespace

std::uint16_t CompressBlock(const std::uint8_t* __restrict source, std::uint8_t* __restrict dest, std::uint16_t n) {
  std::int16_t* const table = gLzrwHashTable;
  if (table == nullptr) throw ELzrw1KHCompressor("LZRW1KH : HASH table not initialised");
  if (n > kLzrwMaxBlock) throw ELzrw1KHCompressor("LZRW1KH : block longer than 32783 bytes");
  std::memset(table, 0xFF, kLzrwHashEntries * sizeof *table);

  dest[0] = kLzrwFlagCoded;
  Coder c;
  const std::uint32_t farEnd = n > kFarFromEnd ? n - kFarFromEnd : 0;
  while (c.x < farEnd && c.y <= n) CodeItem<false>(table, source, dest, n, c);
  while (c.x < n && c.y <= n) CodeItem<true>(table, source, dest, n, c);
  PutWord(dest + c.z, c.cw << (16 - c.items));

  if (c.y <= n) return static_cast<std::uint16_t>(c.y);
  dest[0] = kLzrwFlagCopied;
  if (n > 0) std::memcpy(dest + 1, source, n);  // an empty block may come with no source at all
  return static_cast<std::uint16_t>(n + 1);
}

std::uint16_t ExpandBlock(const std::uint8_t* source, std::uint8_t* dest, std::uint32_t size) {
  if (size == 0) Damaged("empty");
  if (source[0] == kLzrwFlagCopied) {
    if (size - 1 > kLzrwMaxBlock) Damaged("output past 32783 bytes");
    std::memcpy(dest, source + 1, size - 1);
    return static_cast<std::uint16_t>(size - 1);
  }
  if (size < 3) Damaged("coded block shorter than 3 bytes");

  const std::uint8_t* ip = source + 3;
  const std::uint8_t* const iend = source + size;
  std::uint8_t* op = dest;
  std::uint8_t* const oend = dest + kLzrwMaxBlock;
  std::uint32_t cw = static_cast<std::uint32_t>(source[1]) << 8 | source[2];
  std::uint32_t left = 16;  // items left in the current group

  for (;;) {
    // Wide steps while the buffers certainly have room: each step takes the
    // literals before the next copy item at once (the control word's leading
    // zeros count them), then that item, all in 8- and 16-byte chunks. A step
    // reads under 24 bytes ahead and writes under 40 (16 of literals, then 24
    // of a back reference), so bounds are proven per step, not per byte, and
    // there is no branch on the kind of each item.
    while (iend - ip >= kStepInput && oend - op >= kStepOutput) {
      const auto literals = static_cast<std::uint32_t>(std::countl_zero(static_cast<std::uint16_t>(cw)));
      std::memcpy(op, ip, 16);
      if (literals >= left) {  // the group ends in literals
        op += left;
        ip += left;
        cw = ControlWordAt(ip);
        ip += 2;
        left = 16;
        continue;
      }
      op += literals;
      ip += literals;
      cw <<= literals;
      left -= literals;
      const std::uint32_t offset = OffsetOf(ip);
      if (offset == 0) {
        op = ExpandRun(ip, op, oend);
        ip += 4;
      } else {
        if (offset > static_cast<std::uint32_t>(op - dest)) Damaged("offset before start of output");
        const std::uint32_t length = (ip[1] & 0x0Fu) + kMinMatch;
        CopyMatchWide(op, offset, length);
        op += length;
        ip += 2;
      }
      cw <<= 1;
      if (--left == 0) {
        cw = ControlWordAt(ip);
        ip += 2;
        left = 16;
      }
    }

    if (left == 0) {
      if (ip == iend) break;
      if (iend - ip < 2) Damaged("control word cut off");
      cw = ControlWordAt(ip);
      ip += 2;
      left = 16;
      if (ip == iend) Damaged("item cut off");
      continue;
    }
    if (ip == iend) break;

    // One exact, checked step near either end.
    if ((cw & 0x8000) == 0) {
      if (op == oend) Damaged("output past 32783 bytes");
      *op++ = *ip++;
    } else {
      if (iend - ip < 2) Damaged("item cut off");
      const std::uint32_t offset = OffsetOf(ip);
      if (offset == 0) {
        if (iend - ip < 4) Damaged("item cut off");
        op = ExpandRun(ip, op, oend);
        ip += 4;
      } else {
        if (offset > static_cast<std::uint32_t>(op - dest)) Damaged("offset before start of output");
        const std::uint32_t length = (ip[1] & 0x0Fu) + kMinMatch;
        if (length > static_cast<std::uint32_t>(oend - op)) Damaged("output past 32783 bytes");
        const std::uint8_t* from = op - offset;
        for (std::uint32_t k = 0; k < length; ++k) op[k] = from[k];
        op += length;
        ip += 2;
      }
    }
    cw <<= 1;
    --left;
  }
  return static_cast<std::uint16_t>(op - dest);
}
