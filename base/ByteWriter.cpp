// The little-endian writer (out of line: GCC 12 warns wrongly of overflows when these are inlined).
#include "base/ByteWriter.h"

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
  return Bytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}
