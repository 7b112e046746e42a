// The "PMCS10" container's writer.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "base/Exception.h"
#include "filestore/CompressStream.h"
#include "filestore/LZRW1KH.h"

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
