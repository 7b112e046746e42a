// Checking each member of the central directory before it is extracted.
#include "unzdll/engine/ZipDirectory.h"

namespace {

// The member's own faults that need no look at its local header.
std::string CentralProblem(const ZipMember& m) {
  if (m.name.empty()) return "the member has no name";
  if (m.HasZip64Marker()) return "Zip64 members are not supported";
  if ((m.GeneralFlags & kFlagStrongEncryption) != 0 || (m.IsEncrypted() && m.PackMethod == 99))
    return "this kind of encryption is not supported (only traditional zip encryption)";
  if (m.PackMethod != kMethodStored && m.PackMethod != kMethodDeflated)
    return "compression method " + std::to_string(m.PackMethod) + " is not supported (only stored and deflate)";
  if (m.IsEncrypted() && m.PackedSize < kEncryptionHeaderSize) return "the encrypted data is too short";
  const std::uint32_t stored = m.PackedSize - (m.IsEncrypted() ? kEncryptionHeaderSize : 0);
  if (m.PackMethod == kMethodStored && stored != m.UnpackedSize) return "the stored member's sizes disagree";
  return {};
}

// Where the local header and the data descriptor disagree with the central
// entry.
std::string LocalProblem(const ZipMember& m, const ZipMemberBytes& bytes) {
  const ZipLocalHeader& local = bytes.local;
  if (bytes.localName != m.name) return "its local header names another member";
  const std::uint16_t flagsDiffer = (local.GeneralFlags ^ m.GeneralFlags) & (kFlagEncrypted | kFlagDataDescriptor);
  if (local.PackMethod != m.PackMethod || flagsDiffer != 0)
    return "its local header disagrees with the central directory (method or flags)";
  const bool agrees =
      local.Crc32 == m.Crc32 && local.PackedSize == m.PackedSize && local.UnpackedSize == m.UnpackedSize;
  const bool deferred = m.HasDataDescriptor() && local.Crc32 == 0 && local.PackedSize == 0 && local.UnpackedSize == 0;
  if (!agrees && !deferred) return "its local header disagrees with the central directory (CRC or sizes)";
  const std::optional<ZipDataDescriptor>& descriptor = bytes.descriptor;
  if (descriptor && (descriptor->Crc32 != m.Crc32 || descriptor->PackedSize != m.PackedSize ||
                     descriptor->UnpackedSize != m.UnpackedSize))
    return "its data descriptor disagrees with the central directory";
  return {};
}

}  // namespace

std::vector<ZipMember> ReadZipDirectory(TStream& archive) {
  const ZipCentralDirectory directory = ReadCentralDirectory(archive);
  std::vector<ZipMember> members;
  members.reserve(directory.entries.size());
  std::vector<ZipByteSpan> spans;
  for (const ZipEntry& entry : directory.entries) {
    ZipMember member;
    static_cast<ZipCentralHeader&>(member) = entry.header;
    member.name = entry.name;
    member.problem = CentralProblem(member);
    ZipMemberBytes bytes;
    std::string local = LocateMember(archive, entry, directory.offset, bytes);
    if (local.empty()) {
      spans.push_back({bytes.begin, bytes.end});
      local = LocalProblem(member, bytes);
      member.dataOffset = bytes.dataOffset;
    }
    if (member.problem.empty()) member.problem = std::move(local);
    members.push_back(std::move(member));
  }
  RefuseOverlaps(std::move(spans));
  return members;
}
