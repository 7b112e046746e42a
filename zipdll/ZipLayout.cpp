// Building the zip records field by field.
#include "zipdll/ZipLayout.h"

namespace zipdll {

namespace {

// Version 2.0 (what deflate needs) made on MS-DOS: readers take the external
// attributes as DOS attributes.
constexpr std::uint16_t kVersionMadeBy = 20;
constexpr std::uint16_t kVersionNeededDeflate = 20;
constexpr std::uint16_t kVersionNeededStored = 10;
constexpr std::uint32_t kDosArchiveAttribute = 0x20;

class RecordBuilder {
 public:
  RecordBuilder& U16(std::uint32_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
  }
  RecordBuilder& U32(std::uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
  RecordBuilder& Bytes(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  RecordBuilder& Text(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

std::uint16_t VersionNeeded(const WrittenMember& member) {
  return member.method == kMethodDeflated ? kVersionNeededDeflate : kVersionNeededStored;
}

// Fields shared by the local and the central header, from the method on.
void PutCommonFields(RecordBuilder& record, const WrittenMember& member) {
  record.U16(member.flags)
      .U16(member.method)
      .U16(member.dosDateTime & 0xFFFF)
      .U16(member.dosDateTime >> 16)
      .U32(member.crc)
      .U32(member.compressedSize)
      .U32(member.size)
      .U16(static_cast<std::uint32_t>(member.name.size()))
      .U16(0);
}

}  // namespace

std::vector<std::uint8_t> LocalHeader(const WrittenMember& member) {
  RecordBuilder record;
  record.U32(kLocalHeaderSignature).U16(VersionNeeded(member));
  PutCommonFields(record, member);
  return record.Text(member.name).Take();
}

std::vector<std::uint8_t> CentralHeader(const WrittenMember& member, std::uint32_t localOffset) {
  RecordBuilder record;
  record.U32(kCentralHeaderSignature).U16(kVersionMadeBy).U16(VersionNeeded(member));
  PutCommonFields(record, member);
  return record.U16(0).U16(0).U16(0).U32(kDosArchiveAttribute).U32(localOffset).Text(member.name).Take();
}

std::vector<std::uint8_t> EndRecord(std::size_t entries, std::uint32_t directorySize, std::uint32_t directoryOffset,
                                    std::span<const std::uint8_t> comment) {
  const auto count = static_cast<std::uint32_t>(entries);
  return RecordBuilder()
      .U32(kEndRecordSignature)
      .U16(0)
      .U16(0)
      .U16(count)
      .U16(count)
      .U32(directorySize)
      .U32(directoryOffset)
      .U16(static_cast<std::uint32_t>(comment.size()))
      .Bytes(comment)
      .Take();
}

std::vector<std::uint8_t> LocalHeaderSums(const WrittenMember& member) {
  return RecordBuilder().U32(member.crc).U32(member.compressedSize).U32(member.size).Take();
}

std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(Le16(bytes, at)) | static_cast<std::uint32_t>(Le16(bytes, at + 2)) << 16;
}

void PutLe32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace zipdll
