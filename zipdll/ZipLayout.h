// The zip records the engine writes and reads (PKWARE APPNOTE; integers
// little-endian). Written members never use Zip64, encryption or data
// descriptors: every size and offset fits 32 bits, and the local header is
// completed in place once the member's data is written.
//
//   local header        4 signature 0x04034b50, 2 version needed, 2 flags,
//   (30 bytes + n)      2 method, 2 time, 2 date, 4 CRC-32, 4 compressed size,
//                       4 size, 2 name length n, 2 extra length (0), name
//   central header      4 signature 0x02014b50, 2 version made by, 2 version
//   (46 bytes + n)      needed, 2 flags, 2 method, 2 time, 2 date, 4 CRC-32,
//                       4 compressed size, 4 size, 2 n, 2 extra length (0),
//                       2 comment length (0), 2 disk (0), 2 internal
//                       attributes (0), 4 external attributes, 4 local header
//                       offset, name
//   end record          4 signature 0x06054b50, 2 this disk (0), 2 directory's
//   (22 bytes + c)      disk (0), 2 entries on this disk, 2 entries, 4 directory
//                       size, 4 directory offset, 2 comment length c, comment
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zipdll {

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
inline constexpr std::uint32_t kEndRecordSignature = 0x06054b50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr std::uint32_t kDataDescriptorSignature = 0x08074b50;

inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndRecordSize = 22;
inline constexpr std::size_t kZip64LocatorSize = 20;
// Where the CRC-32 and the two sizes stand in a local header.
inline constexpr std::size_t kLocalCrcOffset = 14;
// Where the local header's offset stands in a central header.
inline constexpr std::size_t kCentralLocalOffsetField = 42;

inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;
// The most an archive without Zip64 can hold.
inline constexpr std::uint64_t kLargestField = 0xFFFFFFFFu;
inline constexpr std::size_t kMostMembers = 0xFFFF;

// What the engine knows of a member it writes.
struct WrittenMember {
  std::string name;
  std::uint16_t method = kMethodStored;
  std::uint16_t flags = 0;
  std::uint32_t dosDateTime = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t size = 0;
};

std::vector<std::uint8_t> LocalHeader(const WrittenMember& member);
std::vector<std::uint8_t> CentralHeader(const WrittenMember& member, std::uint32_t localOffset);
std::vector<std::uint8_t> EndRecord(std::size_t entries, std::uint32_t directorySize, std::uint32_t directoryOffset,
                                    std::span<const std::uint8_t> comment);
// The CRC-32 and sizes of a local header, to overwrite its placeholders.
std::vector<std::uint8_t> LocalHeaderSums(const WrittenMember& member);

// Little-endian fields of bytes that the caller has bounds-checked.
std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at);
std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at);
void PutLe32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value);

}  // namespace zipdll
