// The index of a zip archive: its central directory, each entry checked
// against its local header, every member's bytes located and bounded.
//
// Layout read (PKWARE APPNOTE; integers little-endian):
//
//   local header        4 signature 0x04034b50, 2 version needed, 2 flags,
//   (30 bytes + n + e)  2 method, 2 time, 2 date, 4 CRC-32, 4 compressed size,
//                       4 size, 2 name length n, 2 extra length e, name, extra
//   member data         compressed size bytes (with 12 bytes of encryption
//                       header first when flag bit 0 is set)
//   data descriptor     only with flag bit 3: optional signature 0x08074b50,
//                       4 CRC-32, 4 compressed size, 4 size
//   central header      4 signature 0x02014b50, 2 version made by, 2 version
//   (46 bytes + n+e+c)  needed, 2 flags, 2 method, 2 time, 2 date, 4 CRC-32,
//                       4 compressed size, 4 size, 2 n, 2 e, 2 comment length c,
//                       2 disk, 2 internal attributes, 4 external attributes,
//                       4 local header offset, name, extra, comment
//   end record          4 signature 0x06054b50, 2 this disk, 2 directory's
//   (22 bytes + c)      disk, 2 entries on this disk, 2 entries, 4 directory
//                       size, 4 directory offset, 2 comment length c, comment
//
// What the reader insists on (anything else is refused with a message):
// - the end record is the last one whose comment reaches exactly to the end
//   of the file (searched over at most the last 65,557 bytes); one disk;
//   no Zip64; the central directory ends where the end record starts and
//   holds exactly the number of entries the end record states;
// - every member's local header, data and data descriptor lie before the
//   central directory, and no two members share a byte (overlapping members
//   are how "zip bombs" expand far beyond their archive): such an archive is
//   refused as a whole;
// - per member (the member is refused, the others go on): a local header
//   with the central entry's name, method and encryption flag, and with its
//   CRC-32 and sizes, which with flag bit 3 may instead all be zero; with flag
//   bit 3 a data descriptor after the data that agrees with the central entry;
//   the stored and deflate methods only; traditional encryption only; a
//   stored member's sizes in agreement.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "unzdll/engine/ArchiveFile.h"

// An archive that cannot be read at all.
class EZipArchive : public Exception {
 public:
  using Exception::Exception;
};

struct ZipMember {
  std::string name;  // the central entry's name bytes, as stored
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint32_t dosDateTime = 0;  // date in the high half, time in the low
  std::uint32_t crc = 0;
  std::uint32_t compressedSize = 0;  // with the encryption header
  std::uint32_t size = 0;
  std::uint64_t localOffset = 0;
  std::uint64_t dataOffset = 0;  // valid when problem is empty
  // Why the member cannot be extracted; empty for a sound member.
  std::string problem;

  bool IsEncrypted() const { return (flags & 0x0001) != 0; }
  bool HasDataDescriptor() const { return (flags & 0x0008) != 0; }
  bool IsFolder() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
};

inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflate = 8;
inline constexpr std::uint32_t kEncryptionHeaderSize = 12;

// The members in central directory order. Raises EZipArchive when the
// archive as a whole cannot be trusted (see above).
std::vector<ZipMember> ReadZipDirectory(ArchiveFile& archive);
