// Locating and bounding the members of an existing archive.
#include "zipdll/ExistingArchive.h"

#include <algorithm>

#include "zipdll/ZipLayout.h"

namespace zipdll {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kLongestComment = 0xFFFF;
constexpr std::uint16_t kFlagDataDescriptor = 1 << 3;

const char kNoZip64[] =
    "it is a Zip64 archive (over 65535 members or 4 GB); this library writes only archives without Zip64";

Bytes ReadAt(TStream& archive, std::uint64_t offset, std::size_t count) {
  Bytes bytes(count);
  archive.SetPosition(static_cast<std::int64_t>(offset));
  archive.ReadBuffer(bytes.data(), count);
  return bytes;
}

struct EndRecordFacts {
  std::uint64_t position = 0;
  std::size_t entries = 0;
  std::uint64_t directorySize = 0;
  std::uint64_t directoryOffset = 0;
  Bytes comment;
};

// The last end record whose comment reaches exactly to the end of the file.
EndRecordFacts FindEndRecord(TStream& archive, std::uint64_t fileSize) {
  if (fileSize < kEndRecordSize) throw EExistingArchive("it is not a zip archive (too short for an end record)");
  const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, kEndRecordSize + kLongestComment);
  const Bytes tail = ReadAt(archive, fileSize - tailSize, static_cast<std::size_t>(tailSize));
  for (std::size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
    if (Le32(tail, at) != kEndRecordSignature || at + kEndRecordSize + Le16(tail, at + 20) != tail.size()) continue;
    if (Le16(tail, at + 4) != 0 || Le16(tail, at + 6) != 0 || Le16(tail, at + 8) != Le16(tail, at + 10)) {
      throw EExistingArchive("it spans several disks, which this library does not handle");
    }
    EndRecordFacts end;
    end.position = fileSize - tailSize + at;
    end.entries = Le16(tail, at + 10);
    end.directorySize = Le32(tail, at + 12);
    end.directoryOffset = Le32(tail, at + 16);
    end.comment.assign(tail.begin() + static_cast<std::ptrdiff_t>(at + kEndRecordSize), tail.end());
    return end;
  }
  throw EExistingArchive("it is not a zip archive (no end record)");
}

void RefuseZip64(TStream& archive, const EndRecordFacts& end) {
  if (end.position >= kZip64LocatorSize &&
      Le32(ReadAt(archive, end.position - kZip64LocatorSize, 4), 0) == kZip64LocatorSignature) {
    throw EExistingArchive(kNoZip64);
  }
}

// The local header, data and data descriptor of the member whose central
// header is at entry, bounded by the central directory.
void LocateMember(TStream& archive, std::span<const std::uint8_t> entry, std::uint64_t directoryOffset,
                  KeptMember& member) {
  const std::uint16_t flags = Le16(entry, 8);
  const std::uint32_t compressedSize = Le32(entry, 20);
  member.localOffset = Le32(entry, kCentralLocalOffsetField);
  if (compressedSize == kLargestField || Le32(entry, 24) == kLargestField || member.localOffset == kLargestField ||
      Le16(entry, 34) == 0xFFFF) {
    throw EExistingArchive(kNoZip64);
  }
  if (member.localOffset + kLocalHeaderSize > directoryOffset) {
    throw EExistingArchive("it is damaged (member \"" + member.name + "\" starts inside the central directory)");
  }
  const Bytes local = ReadAt(archive, member.localOffset, kLocalHeaderSize);
  if (Le32(local, 0) != kLocalHeaderSignature) {
    throw EExistingArchive("it is damaged (no local header for member \"" + member.name + "\")");
  }
  std::uint64_t end = member.localOffset + kLocalHeaderSize + Le16(local, 26) + Le16(local, 28) + compressedSize;
  if ((flags & kFlagDataDescriptor) != 0 && end + 4 <= directoryOffset) {
    end += Le32(ReadAt(archive, end, 4), 0) == kDataDescriptorSignature ? 16 : 12;
  }
  if (end > directoryOffset) {
    throw EExistingArchive("it is damaged (member \"" + member.name + "\" reaches into the central directory)");
  }
  member.spanSize = end - member.localOffset;
}

void RefuseSharedBytes(const std::vector<KeptMember>& members) {
  std::vector<const KeptMember*> byOffset;
  for (const auto& member : members) byOffset.push_back(&member);
  std::sort(byOffset.begin(), byOffset.end(),
            [](const KeptMember* a, const KeptMember* b) { return a->localOffset < b->localOffset; });
  for (std::size_t i = 1; i < byOffset.size(); ++i) {
    if (byOffset[i - 1]->localOffset + byOffset[i - 1]->spanSize > byOffset[i]->localOffset) {
      throw EExistingArchive("it is damaged (members \"" + byOffset[i - 1]->name + "\" and \"" + byOffset[i]->name +
                             "\" share bytes)");
    }
  }
}

}  // namespace

ExistingArchive ReadExistingArchive(TStream& archive) {
  const auto fileSize = static_cast<std::uint64_t>(archive.Size());
  const EndRecordFacts end = FindEndRecord(archive, fileSize);
  RefuseZip64(archive, end);
  if (end.directoryOffset + end.directorySize != end.position) {
    throw EExistingArchive("it is damaged (the central directory does not end where the end record starts)");
  }
  const Bytes directory = ReadAt(archive, end.directoryOffset, static_cast<std::size_t>(end.directorySize));
  ExistingArchive result;
  result.comment = end.comment;
  std::size_t at = 0;
  while (at < directory.size()) {
    if (directory.size() - at < kCentralHeaderSize || Le32(directory, at) != kCentralHeaderSignature) {
      throw EExistingArchive("it is damaged (a central directory entry is cut short)");
    }
    const std::size_t entrySize =
        kCentralHeaderSize + Le16(directory, at + 28) + Le16(directory, at + 30) + Le16(directory, at + 32);
    if (directory.size() - at < entrySize) throw EExistingArchive("it is damaged (a central directory entry is cut short)");
    const std::span<const std::uint8_t> entry(directory.data() + at, entrySize);
    KeptMember member;
    member.name.assign(entry.begin() + kCentralHeaderSize, entry.begin() + kCentralHeaderSize + Le16(entry, 28));
    member.dosDateTime = static_cast<std::uint32_t>(Le16(entry, 14)) << 16 | Le16(entry, 12);
    member.centralHeader.assign(entry.begin(), entry.end());
    LocateMember(archive, entry, end.directoryOffset, member);
    result.members.push_back(std::move(member));
    at += entrySize;
  }
  if (result.members.size() != end.entries) {
    throw EExistingArchive("it is damaged (the central directory holds another number of entries than stated)");
  }
  RefuseSharedBytes(result.members);
  return result;
}

}  // namespace zipdll
