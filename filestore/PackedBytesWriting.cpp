// Packing a run of bytes as one container.
#include "base/ByteViewStream.h"
#include "base/MemoryStream.h"
#include "filestore/CompressStream.h"
#include "filestore/PackedBytes.h"

std::vector<std::uint8_t> Pack(std::span<const std::uint8_t> bytes) {
  TByteViewStream source(bytes);
  TMemoryStream packed;
  TCompressStream().CompressStream(source, packed, source.Size());
  return packed.Bytes();
}
