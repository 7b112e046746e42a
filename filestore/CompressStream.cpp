// The "PMCS10" container: writer, reader and block walker.
#include "filestore/CompressStream.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/Exception.h"
#include "filestore/LZRW1KH.h"

namespace {

constexpr char kMagic[] = "PMCS10";
constexpr std::int32_t kRecordHeader = 4;

[[noreturn]] void DamagedContainer(const char* what) {
  throw ELzrw1KHCompressor(std::string("PMCS10 : damaged container (") + what + ")");
}

}  // namespace

TCompressStream::TCompressStream() { std::memcpy(signature_, kMagic, sizeof signature_); }

void TCompressStream::CompressStream(TStream& source, TStream& dest, std::int64_t count) {
  // One pair of work areas per call; the output area has the compressor's
  // slack past a full block.
  auto input = std::make_unique<std::uint8_t[]>(kLzrwMaxBlock);
  auto output = std::make_unique<std::uint8_t[]>(kLzrwMaxBlock + kLzrwCompressSlack);

  dest.WriteBuffer(signature_, sizeof signature_);
  const std::int64_t totalAt = dest.Position();
  dest.WriteInt32(0);
  std::int64_t total = 0;
  while (count > 0) {
    // All-or-nothing: a source that ends early is an error, never a loop.
    const auto take = static_cast<std::uint16_t>(std::min<std::int64_t>(count, kLzrwMaxBlock));
    source.ReadBuffer(input.get(), take);
    const std::uint16_t coded = CompressBlock(input.get(), output.get(), take);
    dest.WriteInt32(coded);
    dest.WriteBuffer(output.get(), coded);
    total += coded + kRecordHeader;
    if (total > INT32_MAX) throw EStreamError(kStreamWriteError);
    count -= take;
  }
  const std::int64_t endAt = dest.Position();
  dest.SetPosition(totalAt);
  dest.WriteInt32(static_cast<std::int32_t>(total));
  dest.SetPosition(endAt);
}

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
