// Writing little-endian records: the counterpart of ByteReader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Stores value in field, least significant byte first, as many bytes as the
// field has (1 to 4); for overwriting a field in place.
inline void PutLittleEndian(std::span<std::uint8_t> field, std::uint32_t value) {
  for (std::size_t i = 0; i < field.size(); ++i) field[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Appends fields to a growing run of bytes.
class ByteWriter {
 public:
  // An unsigned integer of width bytes (1 to 4), least significant first.
  ByteWriter& Unsigned(std::uint32_t value, std::size_t width);
  ByteWriter& U8(std::uint32_t value) { return Unsigned(value, 1); }
  ByteWriter& U16(std::uint32_t value) { return Unsigned(value, 2); }
  ByteWriter& U32(std::uint32_t value) { return Unsigned(value, 4); }
  ByteWriter& Bytes(std::span<const std::uint8_t> bytes);
  ByteWriter& Characters(std::string_view text);

  std::size_t Size() const { return bytes_.size(); }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};
