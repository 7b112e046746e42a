// Restoring a run of bytes packed as one container; the packer is in
// PackedBytesWriting.cpp.
#include "filestore/PackedBytes.h"

#include <cstring>

#include "base/ByteViewStream.h"
#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "filestore/CompressStream.h"

bool IsPacked(std::span<const std::uint8_t> bytes) {
  constexpr char kMagic[] = "PMCS10";
  return bytes.size() >= sizeof kMagic - 1 && std::memcmp(bytes.data(), kMagic, sizeof kMagic - 1) == 0;
}

std::vector<std::uint8_t> Unpack(std::span<const std::uint8_t> packed) {
  TByteViewStream source(packed);
  TMemoryStream restored;
  TCompressStream().ExpandStream(source, restored);
  if (source.Position() != source.Size()) throw Exception(kWrongFileType);
  return restored.Bytes();
}
