// The directory reader on hand-built bytes: every outcome of the walk, the
// scan's rules and limits, and hostile sizes and names.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "zip/ZipDirectory.h"
#include "zip/tests/ZipBytes.h"

namespace {

using zipbytes::Builder;
using zipbytes::Member;

struct Outcome {
  bool complete = false;
  bool noEntries = false;
  std::string error;  // the raised message, empty when nothing was raised
  std::vector<ZipDirEntry> entries;

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const ZipDirEntry& e : entries) names.push_back(e.MemberName);
    return names;
  }
};

Outcome ReadStream(TStream& stream, std::int64_t start) {
  Outcome outcome;
  try {
    const DirectoryReadEnd end = ReadZipDirectoryEntries(stream, start, outcome.entries);
    outcome.complete = end == DirectoryReadEnd::Complete;
    outcome.noEntries = end == DirectoryReadEnd::NoEntriesFound;
  } catch (const EStreamError& e) {
    outcome.error = e.Message();
  }
  return outcome;
}

Outcome Read(const std::vector<std::uint8_t>& bytes, std::int64_t start = 0) {
  TMemoryStream stream(bytes);
  return ReadStream(stream, start);
}

using Names = std::vector<std::string>;

TEST(ZipDirectory, ListsMembersInFileOrderAndStopsAtTheCentralDirectory) {
  Builder b;
  b.Local(Member("a.txt", "alpha")).Local(Member("dir/b.bin", "")).Local(Member("c", "gamma gamma"));
  b.Central().Local(Member("after-central", "x")).Central().End();
  const Outcome o = Read(b.Result());
  EXPECT_TRUE(o.complete);
  EXPECT_EQ(o.Names(), (Names{"a.txt", "dir/b.bin", "c"}));
}

TEST(ZipDirectory, StopsAtAnEndRecordWithoutCentralDirectory) {
  const Outcome o = Read(Builder().Local(Member("only", "1234")).End().Result());
  EXPECT_TRUE(o.complete);
  EXPECT_EQ(o.Names(), Names{"only"});
}

TEST(ZipDirectory, DecodesTheHeaderFieldsLittleEndian) {
  zipbytes::LocalMember m = Member("n", "data!");
  m.method = 8;
  m.crc = 0xCAFEBABE;
  m.extra = {1, 2, 3};
  const Outcome o = Read(Builder().Local(m).End().Result());
  ASSERT_EQ(o.entries.size(), 1u);
  const ZipDirEntry& e = o.entries[0];
  EXPECT_EQ(e.VersionNeeded, 20);
  EXPECT_EQ(e.GeneralFlags, 0);
  EXPECT_EQ(e.PackMethod, 8);
  EXPECT_EQ(e.ModDateTime, 0x5A2C6B3Du);
  EXPECT_EQ(e.Crc32, 0xCAFEBABEu);
  EXPECT_EQ(e.PackedSize, 5u);
  EXPECT_EQ(e.UnpackedSize, 5u);
  EXPECT_EQ(e.NameLength, 1);
  EXPECT_EQ(e.ExtraLength, 3);
}

TEST(ZipDirectory, FindsNoEntriesInEmptyOrMemberlessArchives) {
  EXPECT_TRUE(Read({}).noEntries);
  const Outcome endOnly = Read(Builder().End().Result());
  EXPECT_TRUE(endOnly.noEntries);
  EXPECT_TRUE(endOnly.entries.empty());
  EXPECT_TRUE(Read(Builder().Fill(1000, 'x').Result()).noEntries);
}

TEST(ZipDirectory, ScansPastLeadingBytesToTheFirstHeader) {
  const Outcome o = Read(Builder().Fill(777, 0).Bytes({'P', 'K', 1, 2}).Local(Member("m", "d")).End().Result());
  EXPECT_TRUE(o.complete);
  EXPECT_EQ(o.Names(), Names{"m"});
}

TEST(ZipDirectory, AByteThatBreaksAPartialMatchIsNotTriedAsFirstByte) {
  // 50 50 4B 03 04: the second 0x50 ends the first match and is passed over.
  Builder b;
  b.Fill(1, 0x50).Local(Member("hidden", "data")).End();
  EXPECT_TRUE(Read(b.Result()).noEntries);
  // A later header is still found.
  b.Fill(2, 0).Local(Member("found", "data")).End();
  EXPECT_EQ(Read(b.Result()).Names(), Names{"found"});
}

TEST(ZipDirectory, ScanExaminesAtMost60000FirstBytes) {
  const auto archiveAfter = [](std::size_t padding) {
    return Builder().Fill(padding, 0).Local(Member("m", "d")).End().Result();
  };
  // The header's first byte is the 60000th byte examined: found.
  EXPECT_EQ(Read(archiveAfter(59999)).Names(), Names{"m"});
  // ... the 60001st: not found.
  EXPECT_TRUE(Read(archiveAfter(60000)).noEntries);
}

TEST(ZipDirectory, OnlyFirstBytesCountTowardsTheScanLimit) {
  // "PK\3\0": the 0 that breaks each partial match is not examined as a
  // first byte either, so 20000 groups count 20000 bytes.
  const auto archiveAfter = [](std::size_t padding) {
    Builder b;
    for (int i = 0; i < 20000; ++i) b.Bytes({'P', 'K', 3, 0});
    return b.Fill(padding, 0).Local(Member("m", "d")).End().Result();
  };
  EXPECT_EQ(Read(archiveAfter(39999)).Names(), Names{"m"});
  EXPECT_TRUE(Read(archiveAfter(40000)).noEntries);
}

TEST(ZipDirectory, StartsAtTheGivenOffset) {
  const auto bytes = Builder().Local(Member("early", "d")).Fill(14000, 0).Local(Member("late", "d")).End().Result();
  EXPECT_EQ(Read(bytes, kExeArchiveStart).Names(), Names{"late"});
  EXPECT_TRUE(Read(Builder().Local(Member("early", "d")).End().Result(), kExeArchiveStart).noEntries);
}

TEST(ZipDirectory, FirstMemberReachingTheLast22BytesIsDroppedAndTheScanResumesAfterItsName) {
  zipbytes::LocalMember tooBig = Member("big", "");
  tooBig.statedPacked = 100000;
  // The next header stands right after the dropped member's name.
  const Outcome o = Read(Builder().Local(tooBig).Local(Member("next", "d")).End().Result());
  EXPECT_TRUE(o.complete);
  EXPECT_EQ(o.Names(), Names{"next"});
}

TEST(ZipDirectory, FirstMemberEndingJustBeforeTheLast22BytesIsKept) {
  // Data ends exactly where the smallest end record would begin.
  const Outcome o = Read(Builder().Local(Member("fits", "0123")).End().Result());
  EXPECT_EQ(o.Names(), Names{"fits"});
  // One byte more and it would reach into the end record's bytes.
  zipbytes::LocalMember over = Member("over", "0123");
  over.statedPacked = 5;
  EXPECT_TRUE(Read(Builder().Local(over).End().Result()).noEntries);
}

// One row per way an archive breaks off after its first member.
struct BrokenTail {
  const char* what;
  std::vector<std::uint8_t> tail;
  const char* error;
};

// A member is kept only when at least 22 bytes follow its data, so every
// tail below is that long at least.
std::vector<std::uint8_t> HeaderCutShort() {
  auto bytes = Builder().Local(Member("second", "d")).Result();
  bytes.resize(25);
  return bytes;
}

std::vector<std::uint8_t> NameCutShort() {
  zipbytes::LocalMember m = Member("second", "");
  m.statedNameLength = 40;
  return Builder().Local(m).Result();
}

std::vector<std::uint8_t> DataIntoTheEnd() {
  zipbytes::LocalMember m = Member("second", "");
  m.statedPacked = 30;
  return Builder().Local(m).Fill(40, 0).Result();
}

TEST(ZipDirectory, ArchivesBreakingOffAfterAMemberRaiseAndKeepTheMembersFound) {
  const BrokenTail rows[] = {
      {"unknown bytes, two left for the last signature", Builder().Fill(22, 9).Result(), kErrorReadingZipFile},
      {"unknown bytes, three left for the last signature", Builder().Fill(23, 9).Result(), kErrorReadingZipFile},
      {"local header cut short", HeaderCutShort(), kError2ReadingZipFile},
      {"name cut short", NameCutShort(), kError2ReadingZipFile},
      {"data reaching the last 22 bytes", DataIntoTheEnd(), kError3ReadingZipFile},
      // Its data ends the file: no room for even the smallest end record.
      {"file ending right after the last member's data", Builder().Local(Member("second", "d")).Result(),
       kError3ReadingZipFile},
  };
  for (const BrokenTail& row : rows) {
    SCOPED_TRACE(row.what);
    const Outcome o = Read(Builder().Local(Member("first", "data")).Bytes(row.tail).Result());
    EXPECT_EQ(o.error, row.error);
    EXPECT_EQ(o.Names(), Names{"first"});
  }
}

TEST(ZipDirectory, AnOnlyMemberEndingTheFileIsNoEntry) {
  EXPECT_TRUE(Read(Builder().Local(Member("only", "data")).Result()).noEntries);
}

TEST(ZipDirectory, AFirstHeaderCutShortFallsBackToScanning) {
  auto bytes = Builder().Local(Member("cut", "d")).Result();
  bytes.resize(20);
  EXPECT_TRUE(Read(bytes).noEntries);
  zipbytes::LocalMember longName = Member("short", "");
  longName.statedNameLength = 500;
  EXPECT_TRUE(Read(Builder().Local(longName).Fill(10, 0).Result()).noEntries);
}

TEST(ZipDirectory, PassesOverUnknownBytesFourAtATime) {
  const Outcome o = Read(Builder().Local(Member("a", "1")).Bytes({9, 9, 9, 9, 8, 8, 8, 8}).Local(Member("b", "2")).End().Result());
  EXPECT_EQ(o.Names(), (Names{"a", "b"}));
}

TEST(ZipDirectory, ADataDescriptorIsPassedOverAsUnknownSignatures) {
  // Sizes 0 in the header, the real ones after the 8 data bytes.
  zipbytes::LocalMember m = Member("streamed", "");
  Builder b;
  b.Local(m).Bytes({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}).U32(0x08074B50).U32(0x11111111).U32(8).U32(8);
  const Outcome o = Read(b.Central().End().Result());
  EXPECT_TRUE(o.complete);
  ASSERT_EQ(o.Names(), Names{"streamed"});
  EXPECT_EQ(o.entries[0].PackedSize, 0u);
}

TEST(ZipDirectory, NamesLongerThan256BytesAreCutWithoutLosingThePlace) {
  const std::string longName(300, 'n');
  const Outcome o = Read(Builder().Local(Member(longName, "data")).Local(Member("next", "x")).End().Result());
  EXPECT_TRUE(o.complete);
  ASSERT_EQ(o.entries.size(), 2u);
  EXPECT_EQ(o.entries[0].MemberName, std::string(256, 'n'));
  EXPECT_EQ(o.entries[0].NameLength, 300);
  EXPECT_EQ(o.entries[1].MemberName, "next");
  const std::string longest(65535, 'z');
  EXPECT_EQ(Read(Builder().Local(Member(longest, "")).End().Result()).entries.at(0).MemberName.size(), 256u);
}

TEST(ZipDirectory, NamesAreCutAtTheirFirstNul) {
  const Outcome o = Read(Builder().Local(Member(std::string("abc\0def", 7), "")).End().Result());
  EXPECT_EQ(o.Names(), Names{"abc"});
}

// Regression: a stated size with its top bit set once counted as negative
// and moved the walk backwards, re-reading the same header forever.
TEST(ZipDirectory, HugeStatedSizesNeverMoveTheWalkBackwards) {
  zipbytes::LocalMember hostile = Member("back", "");
  hostile.statedPacked = 0xFFFFFFE2;
  EXPECT_TRUE(Read(Builder().Local(hostile).Fill(64, 0).End().Result()).noEntries);
  const Outcome later = Read(Builder().Local(Member("ok", "1")).Local(hostile).Fill(64, 0).End().Result());
  EXPECT_EQ(later.error, kError3ReadingZipFile);
  EXPECT_EQ(later.Names(), Names{"ok"});
}

// A stream that moves only part of the way forward, as a device might.
class ShortSeekStream : public TMemoryStream {
 public:
  ShortSeekStream(std::vector<std::uint8_t> bytes, std::int64_t shortAfter)
      : TMemoryStream(std::move(bytes)), shortAfter_(shortAfter) {}
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    if (origin == SeekOrigin::Current && offset > 0 && Position() >= shortAfter_) offset -= 1;
    return TMemoryStream::Seek(offset, origin);
  }

 private:
  std::int64_t shortAfter_;
};

TEST(ZipDirectory, AStreamThatDoesNotLandWhereExpectedRaisesError4Or5) {
  zipbytes::LocalMember withExtra = Member("e", "data");
  withExtra.extra = {1, 2, 3, 4};
  const auto extraBytes = Builder().Local(withExtra).End().Result();
  ShortSeekStream shortOverExtra(extraBytes, 0);
  const Outcome extra = ReadStream(shortOverExtra, 0);
  EXPECT_EQ(extra.error, kError4ReadingZipFile);
  // Only the seek over the data (after header, name and extra field) falls short.
  ShortSeekStream shortOverData(extraBytes, 30 + 1 + 4);
  const Outcome data = ReadStream(shortOverData, 0);
  EXPECT_EQ(data.error, kError5ReadingZipFile);
  EXPECT_TRUE(data.entries.empty());
}

}  // namespace
