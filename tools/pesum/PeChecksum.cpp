// The PE image checksum: the CheckSum field's place, computing and setting it.
#include "tools/pesum/PeChecksum.h"

#include <algorithm>

#include "base/ByteReader.h"
#include "base/ByteWriter.h"

namespace {

constexpr std::size_t kNewHeaderOffsetAt = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kChecksumInOptionalHeader = 64;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;

}  // namespace

std::optional<std::size_t> PeChecksumOffset(std::span<const std::uint8_t> bytes) {
  ByteReader newHeaderOffset = ByteReader::At(bytes, kNewHeaderOffsetAt);
  const std::size_t signatureAt = newHeaderOffset.U32();
  if (!newHeaderOffset.Ok() || bytes[0] != 'M' || bytes[1] != 'Z') return std::nullopt;
  const std::size_t optionalAt = signatureAt + 4 + kFileHeaderSize;
  // Compared so that no sum can wrap: signatureAt is at most 2^32 - 1.
  if (signatureAt > bytes.size() || bytes.size() - signatureAt < 4 + kFileHeaderSize + kChecksumInOptionalHeader + 4)
    return std::nullopt;
  if (bytes[signatureAt] != 'P' || bytes[signatureAt + 1] != 'E' || bytes[signatureAt + 2] != 0 ||
      bytes[signatureAt + 3] != 0)
    return std::nullopt;
  const std::uint32_t magic = ByteReader::At(bytes, optionalAt).U16();
  if (magic != kPe32Magic && magic != kPe32PlusMagic) return std::nullopt;
  // The system's sum takes the stored field out as two whole 16-bit words;
  // a field at an odd offset straddles three, and then no value may check.
  // No linker writes such a header.
  if (signatureAt % 2 != 0) return std::nullopt;
  return optionalAt + kChecksumInOptionalHeader;
}

std::uint32_t PeChecksum(std::span<const std::uint8_t> bytes, std::size_t checksumOffset) {
  std::uint32_t sum = 0;
  for (ByteReader words(bytes); !words.AtEnd();) {
    sum += words.Unsigned(std::min<std::size_t>(words.Remaining(), 2));
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  // The stored field's two halves taken out again, borrowing as the
  // system's own function does, so that the result is its result for any
  // image, whatever the field's alignment.
  const std::uint32_t stored = StoredPeChecksum(bytes, checksumOffset);
  for (const std::uint32_t half : {stored & 0xFFFF, stored >> 16}) {
    sum = sum >= half ? sum - half : ((sum - half) & 0xFFFF) - 1;
  }
  return sum + static_cast<std::uint32_t>(bytes.size());
}

std::uint32_t StoredPeChecksum(std::span<const std::uint8_t> bytes, std::size_t checksumOffset) {
  return ByteReader::At(bytes, checksumOffset).U32();
}

void SetPeChecksum(std::span<std::uint8_t> bytes, std::size_t checksumOffset) {
  const auto write = [&](std::uint32_t value) { PutLittleEndian(bytes.subspan(checksumOffset, 4), value); };
  write(0);
  std::uint32_t checksum = PeChecksum(bytes, checksumOffset);
  write(checksum);
  // The folded sum has two spellings of zero, 0 and 0xFFFF: a sum that comes
  // to one of them may come to the other once the field holds it, and then
  // the other is the value that checks.
  if (PeChecksum(bytes, checksumOffset) != checksum) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    write(checksum - length == 0 ? length + 0xFFFF : length);
  }
}
