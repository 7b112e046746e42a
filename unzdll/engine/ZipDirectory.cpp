// Reads and checks a zip archive's central directory and local headers.
#include "unzdll/engine/ZipDirectory.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kMaxComment = 0xFFFF;
constexpr std::uint16_t kStrongEncryption = 0x0040;

// Little-endian fields of a byte run whose length the caller has checked.
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

struct EndRecord {
  std::uint64_t offset;
  std::uint16_t entries;
  std::uint32_t directorySize;
  std::uint32_t directoryOffset;
};

EndRecord FindEndRecord(ArchiveFile& archive) {
  const std::uint64_t size = archive.Size();
  const std::size_t tailSize = static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndRecordSize + kMaxComment));
  std::vector<std::uint8_t> tail(tailSize);
  if (!archive.ReadAt(size - tailSize, tail.data(), tailSize)) throw EZipArchive("the archive cannot be read");
  const std::uint64_t tailStart = size - tailSize;
  for (std::size_t at = tailSize >= kEndRecordSize ? tailSize - kEndRecordSize + 1 : 0; at-- > 0;) {
    if (U32(tail, at) != kEndSignature || at + kEndRecordSize + U16(tail, at + 20) != tailSize) continue;
    const EndRecord end{tailStart + at, U16(tail, at + 10), U32(tail, at + 12), U32(tail, at + 16)};
    if (U16(tail, at + 4) != 0 || U16(tail, at + 6) != 0 || U16(tail, at + 8) != end.entries)
      throw EZipArchive("archives split over several disks are not supported");
    // (A locator outside the tail still moves the directory off its place.)
    const bool locator = at >= kZip64LocatorSize && U32(tail, at - kZip64LocatorSize) == kZip64LocatorSignature;
    if (locator || end.directoryOffset == 0xFFFFFFFF || end.directorySize == 0xFFFFFFFF)
      throw EZipArchive("Zip64 archives are not supported");
    if (static_cast<std::uint64_t>(end.directoryOffset) + end.directorySize != end.offset)
      throw EZipArchive("the central directory is not where the end record places it");
    return end;
  }
  throw EZipArchive("not a zip archive (no end of central directory record)");
}

[[noreturn]] void DamagedEntry(std::size_t index, const char* what) {
  throw EZipArchive("central directory entry " + std::to_string(index + 1) + " is damaged (" + what + ")");
}

std::vector<ZipMember> ReadCentralDirectory(ArchiveFile& archive, const EndRecord& end) {
  std::vector<std::uint8_t> directory(end.directorySize);
  if (!archive.ReadAt(end.directoryOffset, directory.data(), directory.size()))
    throw EZipArchive("the central directory cannot be read");
  const std::span<const std::uint8_t> bytes(directory);
  std::vector<ZipMember> members;
  members.reserve(end.entries);
  std::size_t at = 0;
  for (std::size_t i = 0; i < end.entries; ++i) {
    if (bytes.size() - at < kCentralHeaderSize) DamagedEntry(i, "cut off");
    if (U32(bytes, at) != kCentralSignature) DamagedEntry(i, "no signature");
    const std::size_t nameLength = U16(bytes, at + 28);
    const std::size_t entrySize = kCentralHeaderSize + nameLength + U16(bytes, at + 30) + U16(bytes, at + 32);
    if (bytes.size() - at < entrySize) DamagedEntry(i, "cut off");
    if (U16(bytes, at + 34) != 0) DamagedEntry(i, "on another disk");
    ZipMember member;
    member.flags = U16(bytes, at + 8);
    member.method = U16(bytes, at + 10);
    member.dosDateTime = static_cast<std::uint32_t>(U16(bytes, at + 14)) << 16 | U16(bytes, at + 12);
    member.crc = U32(bytes, at + 16);
    member.compressedSize = U32(bytes, at + 20);
    member.size = U32(bytes, at + 24);
    member.localOffset = U32(bytes, at + 42);
    member.name.assign(reinterpret_cast<const char*>(bytes.data() + at + kCentralHeaderSize), nameLength);
    members.push_back(std::move(member));
    at += entrySize;
  }
  if (at != bytes.size()) throw EZipArchive("the central directory holds more than its entries");
  return members;
}

// The member's own faults that need no look at its local header.
std::string CentralProblem(const ZipMember& m) {
  if (m.name.empty()) return "the member has no name";
  if (m.compressedSize == 0xFFFFFFFF || m.size == 0xFFFFFFFF || m.localOffset == 0xFFFFFFFF)
    return "Zip64 members are not supported";
  if ((m.flags & kStrongEncryption) != 0 || (m.IsEncrypted() && m.method == 99))
    return "this kind of encryption is not supported (only traditional zip encryption)";
  if (m.method != kMethodStored && m.method != kMethodDeflate)
    return "compression method " + std::to_string(m.method) + " is not supported (only stored and deflate)";
  if (m.IsEncrypted() && m.compressedSize < kEncryptionHeaderSize) return "the encrypted data is too short";
  const std::uint32_t stored = m.compressedSize - (m.IsEncrypted() ? kEncryptionHeaderSize : 0);
  if (m.method == kMethodStored && stored != m.size) return "the stored member's sizes disagree";
  return {};
}

// Checks the local header against the central entry; on success sets the
// data offset and returns the end of the member's bytes (data descriptor
// included) in end.
std::string LocalProblem(ArchiveFile& archive, std::uint64_t limit, ZipMember& m, std::uint64_t& end) {
  // The fixed part and the name it should hold, in one read.
  std::vector<std::uint8_t> header(kLocalHeaderSize + m.name.size());
  if (m.localOffset + kLocalHeaderSize > limit) return "its local header is missing";
  const auto readable = static_cast<std::size_t>(std::min<std::uint64_t>(header.size(), limit - m.localOffset));
  if (!archive.ReadAt(m.localOffset, header.data(), readable) ||
      U32(header, 0) != kLocalSignature)
    return "its local header is missing";
  const std::span<const std::uint8_t> fixed(header);
  const std::size_t nameLength = U16(fixed, 26);
  const std::uint64_t dataOffset = m.localOffset + kLocalHeaderSize + nameLength + U16(fixed, 28);
  if (dataOffset > limit) return "its local header runs past the end of the archive's data";
  if (nameLength != m.name.size() || std::memcmp(&header[kLocalHeaderSize], m.name.data(), nameLength) != 0)
    return "its local header names another member";
  const std::uint16_t localFlags = U16(fixed, 6);
  if (U16(fixed, 8) != m.method || ((localFlags ^ m.flags) & 0x0009) != 0)
    return "its local header disagrees with the central directory (method or flags)";
  const std::uint32_t crc = U32(fixed, 14);
  const std::uint32_t compressed = U32(fixed, 18);
  const std::uint32_t size = U32(fixed, 22);
  const bool agrees = crc == m.crc && compressed == m.compressedSize && size == m.size;
  const bool deferred = m.HasDataDescriptor() && crc == 0 && compressed == 0 && size == 0;
  if (!agrees && !deferred) return "its local header disagrees with the central directory (CRC or sizes)";
  if (m.compressedSize > limit - dataOffset) return "its data runs past the end of the archive's data";
  end = dataOffset + m.compressedSize;
  if (m.HasDataDescriptor()) {
    std::uint8_t descriptor[16] = {};
    const std::size_t available = static_cast<std::size_t>(std::min<std::uint64_t>(16, limit - end));
    if (available < 12 || !archive.ReadAt(end, descriptor, available)) return "its data descriptor is missing";
    const bool signed_ = U32(descriptor, 0) == kDescriptorSignature && available == 16;
    const std::size_t at = signed_ ? 4 : 0;
    if (U32(descriptor, at) != m.crc || U32(descriptor, at + 4) != m.compressedSize ||
        U32(descriptor, at + 8) != m.size)
      return "its data descriptor disagrees with the central directory";
    end += at + 12;
  }
  m.dataOffset = dataOffset;
  return {};
}

struct Span {
  std::uint64_t begin;
  std::uint64_t end;
};

void RefuseOverlaps(std::vector<Span>& spans) {
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
  for (std::size_t i = 1; i < spans.size(); ++i)
    if (spans[i].begin < spans[i - 1].end)
      throw EZipArchive("members overlap (an archive made to expand far beyond its size)");
}

}  // namespace

std::vector<ZipMember> ReadZipDirectory(ArchiveFile& archive) {
  const EndRecord end = FindEndRecord(archive);
  std::vector<ZipMember> members = ReadCentralDirectory(archive, end);
  std::vector<Span> spans;
  spans.reserve(members.size());
  for (ZipMember& member : members) {
    member.problem = CentralProblem(member);
    // A member refused for its own faults still takes part in the overlap
    // check when its bytes can be located.
    std::uint64_t spanEnd = 0;
    std::string local = LocalProblem(archive, end.directoryOffset, member, spanEnd);
    if (local.empty()) spans.push_back({member.localOffset, spanEnd});
    if (member.problem.empty()) member.problem = std::move(local);
  }
  RefuseOverlaps(spans);
  return members;
}
