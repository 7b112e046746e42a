// LZRW1-KH: the block codec of the embedded file store.
//
// Compressed block layout (one block restores to at most 32,783 bytes):
//
//   byte 0      flag: 0x80 = the rest is the input, copied;
//                     anything else (the compressor writes 0x40) = coded
//   copied      bytes 1..n: the n input bytes
//   coded       groups, from byte 1 on: a 16-bit control word, high byte
//               first, then up to 16 items; bit 15 describes the first item,
//               0 = literal, 1 = copy item. The first control word always
//               stands at bytes 1-2; the last group's unused bits are 0.
//     literal   1 byte
//     copy      K = 16-bit word, high byte first; offset = K >> 4
//               offset 1..4095: back reference of (K & 15) + 3 bytes (3..18),
//                               starting offset bytes before the output's end,
//                               copied byte by byte (so it may overlap itself)
//               offset 0:       run, 4 bytes: 00 c_hi c_lo v, giving
//                               (c_hi & 15) * 256 + c_lo + 16 copies of v
//
// The compressor's output is fixed byte for byte by the format's reference
// steps (single probe into a 4,096-entry table of the most recent position
// per hash, run scan before match search); stored data depends on it.
#pragma once

#include <cstdint>

#include "base/Exception.h"

inline constexpr std::uint16_t kLzrwMaxBlock = 32783;      // input bytes per block
inline constexpr std::uint16_t kLzrwMaxCoded = 32784;      // a full block, copied
inline constexpr std::uint16_t kLzrwCompressSlack = 6;     // dest room past n
inline constexpr std::uint8_t kLzrwFlagCoded = 0x40;
inline constexpr std::uint8_t kLzrwFlagCopied = 0x80;

// The codec's own failures: no memory for its table, a damaged block.
class ELzrw1KHCompressor : public Exception {
 public:
  using Exception::Exception;
};

// The program-wide hash table. InitializeLzrw1KH allocates it (raising
// ELzrw1KHCompressor "LZRW1KH : no memory for HASH table" when it cannot);
// FinalizeLzrw1KH releases it. Both are idempotent.
void InitializeLzrw1KH();
void FinalizeLzrw1KH();

// Compresses the n bytes at source (n <= kLzrwMaxBlock) into dest, which must
// have room for n + kLzrwCompressSlack bytes, and returns the block's size
// (1 to n + 1). Reads exactly source[0..n). Uses the program-wide table, so it
// is not reentrant; raises ELzrw1KHCompressor if the table was not allocated.
std::uint16_t CompressBlock(const std::uint8_t* source, std::uint8_t* dest, std::uint16_t n);

// Restores the size-byte block at source into dest, which must have room for
// kLzrwMaxBlock bytes, and returns the number of bytes restored. Reads only
// source[0..size) and writes only dest[0..kLzrwMaxBlock). A damaged block (a
// size of 0, a coded block under 3 bytes, an item cut off by the block's end,
// an offset reaching before the output's start, output past kLzrwMaxBlock)
// raises ELzrw1KHCompressor; dest then holds an unspecified partial result.
std::uint16_t ExpandBlock(const std::uint8_t* source, std::uint8_t* dest, std::uint32_t size);

// One step of CompressBlock: probes the table for position x of the n-byte
// block at source and records x there. Returns whether a match of at least 3
// bytes was found, with its position and length (3 to 18).
struct Lzrw1KHMatch {
  bool found = false;
  std::uint16_t position = 0;
  std::uint16_t length = 0;
};
Lzrw1KHMatch FindMatch(const std::uint8_t* source, std::uint16_t x, std::uint16_t n);
