// The PE image checksum: where the CheckSum field stands, and computing it.
#include "tools/pesum/PeChecksum.h"

#include "base/ByteReader.h"

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

void PeChecksumSum::Add(std::span<const std::uint8_t> piece) {
  std::size_t at = 0;
  if (pending_ && !piece.empty()) {
    sum_ = Folded(sum_ + (low_ | static_cast<std::uint32_t>(piece[at++]) << 8));
    pending_ = false;
  }
  for (; at + 1 < piece.size(); at += 2) sum_ = Folded(sum_ + (piece[at] | static_cast<std::uint32_t>(piece[at + 1]) << 8));
  if (at < piece.size()) {
    low_ = piece[at];
    pending_ = true;
  }
  length_ += static_cast<std::uint32_t>(piece.size());
}

std::uint32_t PeChecksumSum::Checksum(std::uint32_t stored) const {
  // An odd last byte is a word of its own.
  std::uint32_t sum = pending_ ? Folded(sum_ + low_) : sum_;
  // The stored field's two halves taken out again, borrowing as the
  // system's own function does, so that the result is its result for any
  // image.
  for (const std::uint32_t half : {stored & 0xFFFF, stored >> 16}) {
    sum = sum >= half ? sum - half : ((sum - half) & 0xFFFF) - 1;
  }
  return sum + length_;
}

std::uint32_t PeChecksum(std::span<const std::uint8_t> bytes, std::size_t checksumOffset) {
  PeChecksumSum sum;
  sum.Add(bytes);
  return sum.Checksum(StoredPeChecksum(bytes, checksumOffset));
}

std::uint32_t StoredPeChecksum(std::span<const std::uint8_t> bytes, std::size_t checksumOffset) {
  return ByteReader::At(bytes, checksumOffset).U32();
}
