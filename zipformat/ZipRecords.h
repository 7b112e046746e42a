// The records of a zip archive (PKWARE APPNOTE), decoded and encoded field
// by field; the one place that knows where each field stands.
//
// Layout (integers little-endian; n name, e extra field, c comment lengths):
//
//   local header        4 signature 0x04034b50, 2 version needed, 2 flags,
//   (30 bytes + n + e)  2 method, 2 time, 2 date, 4 CRC-32, 4 compressed size,
//                       4 size, 2 name length n, 2 extra length e, name, extra
//   member data         compressed size bytes (with 12 bytes of encryption
//                       header first when flag bit 0 is set)
//   data descriptor     only with flag bit 3: optional signature 0x08074b50,
//                       4 CRC-32, 4 compressed size, 4 size
//   central header      4 signature 0x02014b50, 2 version made by, then the
//   (46 bytes + n+e+c)  local header's fields from version needed to e, then
//                       2 comment length c, 2 disk, 2 internal attributes,
//                       4 external attributes, 4 local header offset, name,
//                       extra, comment
//   Zip64 locator       4 signature 0x07064b50 and 16 bytes, right before the
//                       end record of a Zip64 archive
//   end record          4 signature 0x06054b50, 2 this disk, 2 directory's
//   (22 bytes + c)      disk, 2 entries on this disk, 2 entries, 4 directory
//                       size, 4 directory offset, 2 comment length c, comment
//
// A time and date pair is kept as one 32-bit MS-DOS date and time: the date
// in the high 16 bits, the time in the low 16, in local time to two seconds.
// A size or offset of 0xFFFFFFFF, or a disk of 0xFFFF, stands for a value
// kept in Zip64 extra fields.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/ByteReader.h"
#include "base/ByteWriter.h"

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
inline constexpr std::uint32_t kEndRecordSignature = 0x06054b50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr std::uint32_t kDataDescriptorSignature = 0x08074b50;

inline constexpr std::size_t kSignatureSize = 4;
inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndRecordSize = 22;
inline constexpr std::size_t kZip64LocatorSize = 20;
inline constexpr std::size_t kDataDescriptorSize = 12;  // without its signature
inline constexpr std::size_t kLongestComment = 0xFFFF;
// Where the CRC-32 and the two sizes stand in a local header.
inline constexpr std::size_t kLocalCrcOffset = 14;
// Where the local header's offset stands in a central header.
inline constexpr std::size_t kCentralLocalOffsetOffset = 42;

inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;
inline constexpr std::uint32_t kEncryptionHeaderSize = 12;
// The largest size, offset or count an archive without Zip64 holds; a field
// at its largest value stands for a Zip64 one.
inline constexpr std::uint64_t kLargestField = 0xFFFFFFFFu;
inline constexpr std::size_t kMostMembers = 0xFFFF;

// The 26 bytes that follow a local header's signature, in file order.
struct ZipLocalHeader {
  std::uint16_t VersionNeeded = 0;
  std::uint16_t GeneralFlags = 0;
  std::uint16_t PackMethod = 0;
  std::uint32_t ModDateTime = 0;  // DOS time in the low 16 bits, date in the high 16
  std::uint32_t Crc32 = 0;
  std::uint32_t PackedSize = 0;
  std::uint32_t UnpackedSize = 0;
  std::uint16_t NameLength = 0;
  std::uint16_t ExtraLength = 0;
};

// A central header: the local header's fields and its own.
struct ZipCentralHeader : ZipLocalHeader {
  std::uint16_t VersionMadeBy = 0;
  std::uint16_t CommentLength = 0;
  std::uint16_t DiskStart = 0;
  std::uint16_t InternalAttributes = 0;
  std::uint32_t ExternalAttributes = 0;
  std::uint32_t LocalOffset = 0;

  // Whether a size or the offset is kept in a Zip64 field instead.
  bool HasZip64Marker() const {
    return PackedSize == kLargestField || UnpackedSize == kLargestField || LocalOffset == kLargestField;
  }
};

struct ZipEndRecord {
  std::uint16_t Disk = 0;
  std::uint16_t DirectoryDisk = 0;
  std::uint16_t EntriesHere = 0;
  std::uint16_t Entries = 0;
  std::uint32_t DirectorySize = 0;
  std::uint32_t DirectoryOffset = 0;
  std::uint16_t CommentLength = 0;
};

struct ZipDataDescriptor {
  std::uint32_t Crc32 = 0;
  std::uint32_t PackedSize = 0;
  std::uint32_t UnpackedSize = 0;
};

// Each reads a record's fields after its signature; the reader's Ok() tells
// whether they were all there.
ZipLocalHeader ReadLocalHeaderFields(ByteReader& reader);
ZipCentralHeader ReadCentralHeaderFields(ByteReader& reader);
ZipEndRecord ReadEndRecordFields(ByteReader& reader);
ZipDataDescriptor ReadDataDescriptorFields(ByteReader& reader);

// Each writes a record's signature and fixed fields; the name, extra field
// and comment, as long as the fields say, are the caller's to append.
void WriteLocalHeader(ByteWriter& writer, const ZipLocalHeader& header);
void WriteCentralHeader(ByteWriter& writer, const ZipCentralHeader& header);
void WriteEndRecord(ByteWriter& writer, const ZipEndRecord& end);
// The CRC-32 and the two sizes, as they stand at kLocalCrcOffset.
void WriteLocalHeaderSums(ByteWriter& writer, const ZipLocalHeader& header);
