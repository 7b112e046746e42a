// LZRW1-KH block expander.
//
// It copies runs of literals and back references in wide chunks while the
// buffers have room, and falls back to exact, checked byte steps near either
// end. Kept apart from the compressor: the setup program only restores.
#include <bit>
#include <cstddef>
#include <cstring>
#include <string>

#include "filestore/LZRW1KH.h"

namespace {

constexpr std::uint32_t kMinMatch = 3;
constexpr std::uint32_t kMinRun = 16;

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

}  // namespace

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
