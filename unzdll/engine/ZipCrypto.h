// Traditional PKWARE encryption ("ZipCrypto"), decryption side. It is weak
// by today's measure; it is supported because archives made with a
// password use it, not as protection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class ZipDecrypter {
 public:
  explicit ZipDecrypter(std::string_view password);

  // Decrypts the 12-byte encryption header that precedes a member's data and
  // tells whether its last byte carries the expected check byte (the high
  // byte of the CRC-32, or of the DOS time when the member has a data
  // descriptor). A wrong password fails here 255 times in 256; the CRC-32
  // check of the data catches the rest.
  bool AcceptHeader(std::uint8_t (&header)[12], std::uint8_t checkByte);

  void Decrypt(std::uint8_t* data, std::size_t count);

 private:
  void Update(std::uint8_t plain);
  std::uint8_t KeyStream() const;

  std::uint32_t keys_[3];
};
