// Reading little-endian records from bytes in memory, every length checked.
//
// A cursor over borrowed bytes. A read of more than remains takes nothing,
// gives zeros (or nothing), and fails, and every later read fails too: a
// decoder reads a whole record and asks once, with Ok(), whether it was all
// there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  // A reader that starts at offset: failed already when offset lies past the
  // end.
  static ByteReader At(std::span<const std::uint8_t> bytes, std::size_t offset);

  // True while no read has failed.
  bool Ok() const { return ok_; }
  std::size_t Offset() const { return offset_; }
  // What a read may still take: nothing once a read failed.
  std::size_t Remaining() const { return ok_ ? bytes_.size() - offset_ : 0; }
  bool AtEnd() const { return ok_ && offset_ == bytes_.size(); }

  // An unsigned integer of width bytes (1 to 4), least significant first.
  std::uint32_t Unsigned(std::size_t width);
  // The same, sign-extended from its top bit.
  std::int32_t Signed(std::size_t width);
  std::uint8_t U8() { return static_cast<std::uint8_t>(Unsigned(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
  std::uint32_t U32() { return Unsigned(4); }

  // The next count bytes, where they lie.
  std::span<const std::uint8_t> Bytes(std::size_t count);
  void Skip(std::size_t count) { Bytes(count); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
  bool ok_ = true;
};
