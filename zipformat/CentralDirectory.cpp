// The end record's search, the central directory's walk and the members'
// bounds.
#include "zipformat/CentralDirectory.h"

#include <algorithm>
#include <array>

namespace {

using Bytes = std::vector<std::uint8_t>;

// One place that raises: a refusal costs a call, not a string built in line.
[[noreturn]] __attribute__((noinline)) void Refuse(const char* why) { throw EZipArchive(why); }

[[noreturn]] __attribute__((noinline)) void RefuseEntry(std::size_t index, const char* what) {
  throw EZipArchive(std::string("damaged (central directory entry ") + std::to_string(index + 1) + what + ")");
}

void ReadAt(TStream& archive, std::uint64_t offset, std::span<std::uint8_t> bytes) {
  archive.SetPosition(static_cast<std::int64_t>(offset));
  archive.ReadBuffer(bytes.data(), bytes.size());
}

Bytes ReadBytesAt(TStream& archive, std::uint64_t offset, std::size_t count) {
  Bytes bytes(count);
  ReadAt(archive, offset, bytes);
  return bytes;
}

struct FoundEnd {
  std::uint64_t offset = 0;
  ZipEndRecord record;
  Bytes comment;
};

// The last end record whose comment reaches exactly to the end of the file.
FoundEnd FindEndRecord(TStream& archive) {
  const auto size = static_cast<std::uint64_t>(archive.Size());
  const auto tailSize = static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndRecordSize + kLongestComment));
  const Bytes tail = ReadBytesAt(archive, size - tailSize, tailSize);
  for (std::size_t at = tailSize >= kEndRecordSize ? tailSize - kEndRecordSize + 1 : 0; at-- > 0;) {
    ByteReader reader = ByteReader::At(tail, at);
    if (reader.U32() != kEndRecordSignature) continue;
    const ZipEndRecord end = ReadEndRecordFields(reader);
    if (reader.Remaining() != end.CommentLength) continue;
    const std::span<const std::uint8_t> comment = reader.Bytes(end.CommentLength);
    return {size - tailSize + at, end, Bytes(comment.begin(), comment.end())};
  }
  Refuse("not a zip archive (no end record: no end of central directory record ends the file)");
}

void CheckEndRecord(TStream& archive, const FoundEnd& found) {
  const ZipEndRecord& end = found.record;
  if (end.Disk != 0 || end.DirectoryDisk != 0 || end.EntriesHere != end.Entries)
    Refuse("split over several disks, which is not supported");
  std::array<std::uint8_t, kSignatureSize> locator{};
  if (found.offset >= kZip64LocatorSize) ReadAt(archive, found.offset - kZip64LocatorSize, locator);
  if (ByteReader(locator).U32() == kZip64LocatorSignature || end.DirectoryOffset == kLargestField ||
      end.DirectorySize == kLargestField)
    Refuse("a Zip64 archive, which is not supported");
  if (static_cast<std::uint64_t>(end.DirectoryOffset) + end.DirectorySize != found.offset)
    Refuse(
        "damaged (the central directory is not where the end record places it: it does not end where the end "
        "record starts)");
}

std::vector<ZipEntry> ReadEntries(TStream& archive, const ZipEndRecord& end) {
  const Bytes directory = ReadBytesAt(archive, end.DirectoryOffset, end.DirectorySize);
  ByteReader reader(directory);
  std::vector<ZipEntry> entries;
  entries.reserve(std::min<std::size_t>(end.Entries, directory.size() / kCentralHeaderSize));
  for (std::size_t i = 0; i < end.Entries; ++i) {
    const std::size_t at = reader.Offset();
    const std::uint32_t signature = reader.U32();
    ZipEntry& entry = entries.emplace_back();
    entry.header = ReadCentralHeaderFields(reader);
    if (reader.Ok() && signature != kCentralHeaderSignature) RefuseEntry(i, " has no signature");
    const std::span<const std::uint8_t> name = reader.Bytes(entry.header.NameLength);
    reader.Skip(static_cast<std::size_t>(entry.header.ExtraLength) + entry.header.CommentLength);
    if (!reader.Ok()) RefuseEntry(i, ": the central directory holds another number of entries than stated");
    if (entry.header.DiskStart != 0) RefuseEntry(i, " is on another disk");
    entry.name.assign(name.begin(), name.end());
    entry.record.assign(directory.begin() + static_cast<std::ptrdiff_t>(at),
                        directory.begin() + static_cast<std::ptrdiff_t>(reader.Offset()));
  }
  if (!reader.AtEnd()) Refuse("damaged (the central directory holds more than its entries)");
  return entries;
}

}  // namespace

ZipCentralDirectory ReadCentralDirectory(TStream& archive) {
  FoundEnd end = FindEndRecord(archive);
  CheckEndRecord(archive, end);
  return {end.record.DirectoryOffset, ReadEntries(archive, end.record), std::move(end.comment)};
}

std::string LocateMember(TStream& archive, const ZipEntry& entry, std::uint64_t directoryOffset,
                         ZipMemberBytes& bytes) {
  const ZipCentralHeader& central = entry.header;
  const std::uint64_t begin = central.LocalOffset;
  const char* const missing = "its local header is missing (no local header where the central directory places it)";
  if (begin + kLocalHeaderSize > directoryOffset) return missing;
  std::array<std::uint8_t, kLocalHeaderSize> fixed{};
  ReadAt(archive, begin, fixed);
  ByteReader reader(fixed);
  if (reader.U32() != kLocalHeaderSignature) return missing;
  bytes.local = ReadLocalHeaderFields(reader);
  bytes.begin = begin;
  bytes.dataOffset = begin + kLocalHeaderSize + bytes.local.NameLength + bytes.local.ExtraLength;
  if (bytes.dataOffset > directoryOffset) return "its local header runs past the end of the archive's data";
  bytes.localName.resize(bytes.local.NameLength);
  archive.ReadBuffer(bytes.localName.data(), bytes.localName.size());
  if (central.PackedSize > directoryOffset - bytes.dataOffset)
    return "its data runs past the end of the archive's data (into the central directory)";
  bytes.end = bytes.dataOffset + central.PackedSize;
  bytes.descriptor.reset();
  if ((central.GeneralFlags & kFlagDataDescriptor) != 0) {
    std::array<std::uint8_t, kSignatureSize + kDataDescriptorSize> raw{};
    const auto available = static_cast<std::size_t>(std::min<std::uint64_t>(raw.size(), directoryOffset - bytes.end));
    if (available < kDataDescriptorSize) return "its data descriptor is missing";
    ReadAt(archive, bytes.end, std::span(raw).first(available));
    const bool signed_ = available == raw.size() && ByteReader(raw).U32() == kDataDescriptorSignature;
    ByteReader descriptor = ByteReader::At(raw, signed_ ? kSignatureSize : 0);
    bytes.descriptor = ReadDataDescriptorFields(descriptor);
    bytes.end += (signed_ ? kSignatureSize : 0) + kDataDescriptorSize;
  }
  return {};
}

void RefuseOverlaps(std::vector<ZipByteSpan> spans) {
  std::sort(spans.begin(), spans.end(), [](const ZipByteSpan& a, const ZipByteSpan& b) { return a.begin < b.begin; });
  for (std::size_t i = 1; i < spans.size(); ++i) {
    if (spans[i].begin < spans[i - 1].end)
      Refuse("damaged (members overlap: an archive made to expand far beyond its size)");
  }
}
