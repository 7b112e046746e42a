// The bounded little-endian reader.
#include "base/ByteReader.h"

ByteReader ByteReader::At(std::span<const std::uint8_t> bytes, std::size_t offset) {
  ByteReader reader(bytes);
  reader.Skip(offset);
  return reader;
}

std::span<const std::uint8_t> ByteReader::Bytes(std::size_t count) {
  if (count > Remaining()) {
    ok_ = false;
    return {};
  }
  const std::span<const std::uint8_t> taken = bytes_.subspan(offset_, count);
  offset_ += count;
  return taken;
}

std::uint32_t ByteReader::Unsigned(std::size_t width) {
  const std::span<const std::uint8_t> field = Bytes(width);
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < field.size(); ++i) value |= static_cast<std::uint32_t>(field[i]) << (8 * i);
  return value;
}

std::int32_t ByteReader::Signed(std::size_t width) {
  const std::uint32_t raw = Unsigned(width);
  const std::uint32_t sign = 1u << (8 * width - 1);
  if (width < 4 && (raw & sign) != 0) return static_cast<std::int32_t>(raw | ~((sign << 1) - 1));
  return static_cast<std::int32_t>(raw);
}
