// Traditional PKWARE decryption (APPNOTE, "Traditional PKWARE Decryption").
#include "unzdll/engine/ZipCrypto.h"

#include <zlib.h>

namespace {

std::uint32_t Crc32Byte(std::uint32_t crc, std::uint8_t byte) {
  static const z_crc_t* const table = get_crc_table();
  return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace

ZipDecrypter::ZipDecrypter(std::string_view password) : keys_{0x12345678, 0x23456789, 0x34567890} {
  for (const char c : password) Update(static_cast<std::uint8_t>(c));
}

void ZipDecrypter::Update(std::uint8_t plain) {
  keys_[0] = Crc32Byte(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = Crc32Byte(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
}

std::uint8_t ZipDecrypter::KeyStream() const {
  const std::uint32_t temp = (keys_[2] | 2) & 0xFFFF;
  return static_cast<std::uint8_t>((temp * (temp ^ 1)) >> 8);
}

void ZipDecrypter::Decrypt(std::uint8_t* data, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const auto plain = static_cast<std::uint8_t>(data[i] ^ KeyStream());
    Update(plain);
    data[i] = plain;
  }
}

bool ZipDecrypter::AcceptHeader(std::uint8_t (&header)[12], std::uint8_t checkByte) {
  Decrypt(header, sizeof header);
  return header[11] == checkByte;
}
