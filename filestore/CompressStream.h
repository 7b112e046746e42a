// The "PMCS10" compressed stream container: a run of bytes cut into
// LZRW1-KH blocks behind a magic and a byte count.
//
// Layout (all integers little-endian, signed 32-bit):
//
//   offset 0   6 bytes   magic "PMCS10", no terminator
//   offset 6   4 bytes   Total: bytes of block records that follow,
//                        the sum of (4 + block size); container = 10 + Total
//   offset 10  ...       block records, in input order:
//                          4 bytes   block size, 1 to 32,784
//                          n bytes   one LZRW1-KH block (LZRW1KH.h)
//
// Every block but the last restores to 32,783 bytes, the last to 1 to
// 32,783. No length, checksum or block count is stored: Total alone drives
// the reader. See docs/formats/pmcs10.md.
#pragma once

#include <cstdint>
#include <functional>

#include "base/Stream.h"

inline constexpr char kWrongFileType[] = "Wrong file type";

class TCompressStream {
 public:
  TCompressStream();

  // Takes count bytes from source's position and writes one container at
  // dest's position; dest must allow its position to be read and set.
  // Afterwards dest stands just past the container and source count bytes
  // further on. A source that cannot deliver count bytes raises
  // "Stream read error"; the container written so far stays in dest.
  void CompressStream(TStream& source, TStream& dest, std::int64_t count);

  // Reads one container from source's position and writes the restored bytes
  // at dest's position, consuming exactly the container. A wrong magic raises
  // "Wrong file type" before anything is written; a short source raises
  // "Stream read error"; a damaged block record or block raises
  // ELzrw1KHCompressor. Bytes restored before a failure stay in dest.
  void ExpandStream(TStream& source, TStream& dest);

  // One block record as read back: its stored size, its flag byte and the
  // bytes it restores to (valid during the visit only).
  struct BlockInfo {
    std::int32_t storedSize;
    std::uint8_t flag;
    const std::uint8_t* restored;
    std::uint16_t restoredSize;
  };
  using BlockVisitor = std::function<void(const BlockInfo&)>;

  // Reads one container as ExpandStream does, with the same checks, handing
  // each restored block to visit instead of writing it.
  void ReadBlocks(TStream& source, const BlockVisitor& visit);

 private:
  // The block size field in front of every block record.
  static constexpr std::int32_t kRecordHeader = 4;

  std::int32_t ReadHeader(TStream& source);
  std::int32_t ReadBlockRecord(TStream& source, std::int32_t total, std::uint8_t* block);

  char signature_[6];
};
