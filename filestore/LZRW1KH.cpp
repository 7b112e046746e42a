// LZRW1-KH block compressor.
//
// Speed comes from the implementation, never from the format: the
// compressor probes every position exactly as the reference steps do, but
// compares words instead of bytes. The expander is in LZRW1KHExpand.cpp, so
// that a program that only restores blocks links no compressor.
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
