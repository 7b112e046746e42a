// The little-endian writer (out of line: inlined into its callers, GCC's
// overflow check mistakes the first append to an empty run for an overflow).
#include "base/ByteWriter.h"

void PutLittleEndian(std::span<std::uint8_t> field, std::uint32_t value) {
  for (std::size_t i = 0; i < field.size(); ++i) field[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

ByteWriter& ByteWriter::Unsigned(std::uint32_t value, std::size_t width) {
  bytes_.resize(bytes_.size() + width);
  PutLittleEndian(std::span(bytes_).last(width), value);
  return *this;
}

ByteWriter& ByteWriter::Bytes(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

ByteWriter& ByteWriter::Characters(std::string_view text) {
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  return *this;
}
