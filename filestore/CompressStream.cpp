// The "PMCS10" container: reader and block walker. The writer is in
// CompressStreamWriting.cpp, so that a program that only reads links no
// compressor.
#include "filestore/CompressStream.h"

#include <cstring>
#include <memory>

#include "base/Exception.h"
#include "filestore/LZRW1KH.h"

namespace {

constexpr char kMagic[] = "PMCS10";

[[noreturn]] void DamagedContainer(const char* what) {
  throw ELzrw1KHCompressor(std::string("PMCS10 : damaged container (") + what + ")");
}

}  // namespace

TCompressStream::TCompressStream() { std::memcpy(signature_, kMagic, sizeof signature_); }

std::int32_t TCompressStream::ReadHeader(TStream& source) {
  char magic[sizeof signature_];
  source.ReadBuffer(magic, sizeof magic);
  if (std::memcmp(magic, signature_, sizeof magic) != 0) throw Exception(kWrongFileType);
  return source.ReadInt32();
}

// Reads one block record into block and returns its size, after checking
// that it is a possible block and lies within what Total still allows.
std::int32_t TCompressStream::ReadBlockRecord(TStream& source, std::int32_t total, std::uint8_t* block) {
  if (total < kRecordHeader) DamagedContainer("block record cut off by Total");
  const std::int32_t size = source.ReadInt32();
  if (size < 1 || size > kLzrwMaxCoded) DamagedContainer("block size out of range");
  if (size > total - kRecordHeader) DamagedContainer("block larger than Total allows");
  source.ReadBuffer(block, static_cast<std::size_t>(size));
  return size;
}

void TCompressStream::ExpandStream(TStream& source, TStream& dest) {
  ReadBlocks(source, [&dest](const BlockInfo& block) { dest.WriteBuffer(block.restored, block.restoredSize); });
}

void TCompressStream::ReadBlocks(TStream& source, const BlockVisitor& visit) {
  auto input = std::make_unique<std::uint8_t[]>(kLzrwMaxCoded);
  auto output = std::make_unique<std::uint8_t[]>(kLzrwMaxBlock);
  std::int32_t total = ReadHeader(source);
  while (total > 0) {
    const std::int32_t size = ReadBlockRecord(source, total, input.get());
    const std::uint16_t restored = ExpandBlock(input.get(), output.get(), static_cast<std::uint32_t>(size));
    visit({size, input[0], output.get(), restored});
    total -= size + kRecordHeader;
  }
}
