// One member of a zip archive as its local file header describes it.
#pragma once

#include <cstdint>
#include <string>

// The first nine fields are the 26 bytes after a local file header's
// signature (PKWARE APPNOTE 4.3.7), in file order, little-endian.
struct ZipDirEntry {
  std::uint16_t VersionNeeded = 0;
  std::uint16_t GeneralFlags = 0;
  std::uint16_t PackMethod = 0;
  std::uint32_t ModDateTime = 0;  // DOS time in the low 16 bits, date in the high 16
  std::uint32_t Crc32 = 0;
  std::uint32_t PackedSize = 0;
  std::uint32_t UnpackedSize = 0;
  std::uint16_t NameLength = 0;
  std::uint16_t ExtraLength = 0;
  // The stored name, at most its first 256 bytes, cut at the first NUL.
  std::string MemberName;
};
