// Locating and bounding the members of an existing archive.
#include "zipdll/engine/ExistingArchive.h"

namespace {

KeptMember Kept(TStream& archive, ZipEntry& entry, std::uint64_t directoryOffset) {
  if (entry.header.HasZip64Marker())
    throw EZipArchive("a Zip64 archive (over 65535 members or 4 GB); this library writes only archives without Zip64");
  ZipMemberBytes bytes;
  const std::string missing = LocateMember(archive, entry, directoryOffset, bytes);
  if (!missing.empty()) throw EZipArchive("damaged (member \"" + entry.name + "\": " + missing + ")");
  return {std::move(entry.name), entry.header.ModDateTime, bytes.begin, bytes.end - bytes.begin,
          std::move(entry.record)};
}

}  // namespace

ExistingArchive ReadExistingArchive(TStream& archive) {
  ZipCentralDirectory directory = ReadCentralDirectory(archive);
  ExistingArchive result;
  result.comment = std::move(directory.comment);
  std::vector<ZipByteSpan> spans;
  for (ZipEntry& entry : directory.entries) {
    const KeptMember& kept = result.members.emplace_back(Kept(archive, entry, directory.offset));
    spans.push_back({kept.localOffset, kept.localOffset + kept.spanSize});
  }
  RefuseOverlaps(std::move(spans));
  return result;
}
