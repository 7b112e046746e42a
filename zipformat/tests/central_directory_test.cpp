// The rules by which both zip libraries trust an archive, on archives built
// here byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/MemoryStream.h"
#include "zipformat/CentralDirectory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Member {
  std::string name;
  std::string data;
  // With flag bit 3: the descriptor after the data, with or without its
  // signature.
  bool descriptor = false;
  bool signedDescriptor = false;
};

// Stored members, their central directory pointing at their local headers
// (or at localOffsets[i] when given), the end record and comment.
struct Archive {
  std::vector<Member> members{};
  std::vector<std::uint32_t> localOffsets{};
  std::string comment{};
  // Between the central directory and the end record.
  Bytes beforeEnd{};

  Bytes Build() const {
    ByteWriter out;
    std::vector<ZipCentralHeader> headers;
    for (const Member& m : members) {
      ZipCentralHeader h;
      h.GeneralFlags = m.descriptor ? kFlagDataDescriptor : 0;
      h.PackedSize = h.UnpackedSize = static_cast<std::uint32_t>(m.data.size());
      h.NameLength = static_cast<std::uint16_t>(m.name.size());
      h.LocalOffset = static_cast<std::uint32_t>(out.Size());
      WriteLocalHeader(out, h);
      out.Characters(m.name).Characters(m.data);
      if (m.signedDescriptor) out.U32(kDataDescriptorSignature);
      if (m.descriptor) out.U32(h.Crc32).U32(h.PackedSize).U32(h.UnpackedSize);
      headers.push_back(h);
    }
    const std::size_t directoryAt = out.Size();
    for (std::size_t i = 0; i < headers.size(); ++i) {
      if (i < localOffsets.size()) headers[i].LocalOffset = localOffsets[i];
      WriteCentralHeader(out, headers[i]);
      out.Characters(members[i].name);
    }
    ZipEndRecord end;
    end.EntriesHere = end.Entries = static_cast<std::uint16_t>(members.size());
    end.DirectorySize = static_cast<std::uint32_t>(out.Size() - directoryAt);
    end.DirectoryOffset = static_cast<std::uint32_t>(directoryAt);
    end.CommentLength = static_cast<std::uint16_t>(comment.size());
    out.Bytes(beforeEnd);
    WriteEndRecord(out, end);
    return out.Characters(comment).Take();
  }
};

ZipCentralDirectory Read(const Bytes& bytes) {
  TMemoryStream stream(bytes);
  return ReadCentralDirectory(stream);
}

std::string RefusalOf(const Bytes& bytes) {
  try {
    Read(bytes);
  } catch (const EZipArchive& e) {
    return e.Message();
  }
  return "accepted";
}

// Why the members' bytes cannot be found, one per member ("" when found).
std::vector<std::string> Located(const Bytes& bytes, std::vector<ZipMemberBytes>* found = nullptr) {
  TMemoryStream stream(bytes);
  const ZipCentralDirectory directory = ReadCentralDirectory(stream);
  std::vector<std::string> why;
  for (const ZipEntry& entry : directory.entries) {
    ZipMemberBytes member;
    why.push_back(LocateMember(stream, entry, directory.offset, member));
    if (found != nullptr) found->push_back(member);
  }
  return why;
}

TEST(CentralDirectory, TheEndRecordMustEndTheFileWithItsComment) {
  // A comment may hold what looks like an end record.
  Archive archive{.members = {{"a.txt", "alpha"}}, .comment = std::string("PK\x05\x06", 4) + std::string(20, 'c')};
  const Bytes good = archive.Build();
  const ZipCentralDirectory directory = Read(good);
  ASSERT_EQ(directory.entries.size(), 1u);
  EXPECT_EQ(directory.entries[0].name, "a.txt");
  EXPECT_EQ(directory.comment.size(), archive.comment.size());

  Bytes appended = good;
  appended.push_back('x');
  EXPECT_NE(RefusalOf(appended).find("no end record"), std::string::npos);
  EXPECT_NE(RefusalOf({}).find("not a zip archive"), std::string::npos);
}

TEST(CentralDirectory, AZip64LocatorIsRefusedWhereverTheEndRecordLies) {
  Archive archive{.members = {{"a.txt", "alpha"}}};
  const Bytes locator{0x50, 0x4b, 0x06, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  archive.beforeEnd = locator;
  // The directory no longer ends where the end record starts, but the
  // locator is what is named.
  EXPECT_NE(RefusalOf(archive.Build()).find("Zip64"), std::string::npos);
  // With the longest comment the locator lies before the searched tail.
  archive.comment.assign(kLongestComment, 'c');
  EXPECT_NE(RefusalOf(archive.Build()).find("Zip64"), std::string::npos);
}

TEST(CentralDirectory, ADirectoryThatDisagreesWithItselfIsRefused) {
  const Bytes good = Archive{.members = {{"a.txt", "alpha"}, {"b.txt", "beta"}}}.Build();
  const std::size_t end = good.size() - kEndRecordSize;
  Bytes moreStated = good;
  moreStated[end + 8] = moreStated[end + 10] = 3;
  EXPECT_NE(RefusalOf(moreStated).find("another number of entries"), std::string::npos);
  Bytes fewerStated = good;
  fewerStated[end + 8] = fewerStated[end + 10] = 1;
  EXPECT_NE(RefusalOf(fewerStated).find("more than its entries"), std::string::npos);
  Bytes otherDisk = good;
  const std::size_t secondEntry = end - (kCentralHeaderSize + 5);
  otherDisk[secondEntry + 34] = 1;
  EXPECT_NE(RefusalOf(otherDisk).find("entry 2 is on another disk"), std::string::npos);
  Bytes noSignature = good;
  noSignature[secondEntry] = 'X';
  EXPECT_NE(RefusalOf(noSignature).find("entry 2 has no signature"), std::string::npos);
}

TEST(CentralDirectory, MembersAreFoundBeforeTheDirectoryWithTheirDescriptors) {
  const Archive archive{.members = {{"plain", "p"},
                                    {.name = "signed", .data = "ss", .descriptor = true, .signedDescriptor = true},
                                    {.name = "unsigned", .data = "uuu", .descriptor = true}}};
  std::vector<ZipMemberBytes> found;
  ASSERT_EQ(Located(archive.Build(), &found), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(found[0].end, found[1].begin);
  EXPECT_EQ(found[1].dataOffset, found[1].begin + kLocalHeaderSize + 6);
  EXPECT_EQ(found[1].end - found[1].dataOffset, 2 + 16u);
  EXPECT_EQ(found[2].end - found[2].dataOffset, 3 + 12u);
  ASSERT_TRUE(found[2].descriptor.has_value());
  EXPECT_EQ(found[2].descriptor->UnpackedSize, 3u);
  EXPECT_EQ(found[2].localName, "unsigned");
}

TEST(CentralDirectory, MemberBytesThatCannotBeFoundAreNamed) {
  // A descriptor too short to be one: its last bytes are taken away.
  Bytes shortDescriptor = Archive{.members = {{.name = "a", .data = "x", .descriptor = true}}}.Build();
  const std::size_t descriptorAt = kLocalHeaderSize + 2;
  shortDescriptor.erase(shortDescriptor.begin() + descriptorAt + 3, shortDescriptor.begin() + descriptorAt + 12);
  const std::size_t end = shortDescriptor.size() - kEndRecordSize;
  shortDescriptor[end + 16] = static_cast<std::uint8_t>(descriptorAt + 3);
  EXPECT_EQ(Located(shortDescriptor), (std::vector<std::string>{"its data descriptor is missing"}));

  const Archive misplaced{.members = {{"a", "x"}}, .localOffsets = {1}};
  EXPECT_NE(Located(misplaced.Build())[0].find("local header is missing"), std::string::npos);
  const Archive pastDirectory{.members = {{"a", "x"}}, .localOffsets = {kLocalHeaderSize + 2}};
  EXPECT_NE(Located(pastDirectory.Build())[0].find("local header is missing"), std::string::npos);
}

TEST(CentralDirectory, MembersThatShareBytesAreRefused) {
  const Archive sameHeader{.members = {{"a", "x"}, {"a", "x"}}, .localOffsets = {0, 0}};
  std::vector<ZipMemberBytes> found;
  Located(sameHeader.Build(), &found);
  EXPECT_THROW(RefuseOverlaps({{found[0].begin, found[0].end}, {found[1].begin, found[1].end}}), EZipArchive);
  // Members that only touch share nothing.
  EXPECT_NO_THROW(RefuseOverlaps({{10, 20}, {0, 10}, {20, 21}}));
  EXPECT_THROW(RefuseOverlaps({{10, 20}, {0, 11}}), EZipArchive);
}

}  // namespace
