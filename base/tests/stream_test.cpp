// Byte streams: all-or-nothing reads and writes, positions, and real files
// (under Wine the file stream goes through CreateFileA and friends).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "testsupport/ExceptionMessage.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string TempPath(const std::string& name) {
#ifdef _WIN32
  return "C:\\windows\\temp\\" + name;
#else
  return "/tmp/" + name;
#endif
}

TEST(MemoryStream, ReadsUpToWhatIsThereAndExactReadsFailShort) {
  TMemoryStream stream(Bytes("abcdef"));
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
  EXPECT_EQ(stream.Read(buffer, 8), 2u);
  EXPECT_EQ(stream.Read(buffer, 8), 0u);
  stream.SetPosition(3);
  EXPECT_EQ(MessageOf([&] { stream.ReadBuffer(buffer, 4); }), "Stream read error");
}

TEST(MemoryStream, WritesPastTheEndGrowAndSeekOriginsAgree) {
  TMemoryStream stream;
  stream.WriteBuffer("xy", 2);
  stream.SetPosition(4);
  stream.WriteBuffer("z", 1);
  EXPECT_EQ(stream.Bytes(), (std::vector<std::uint8_t>{'x', 'y', 0, 0, 'z'}));
  EXPECT_EQ(stream.Size(), 5);
  EXPECT_EQ(stream.Seek(-2, SeekOrigin::End), 3);
  EXPECT_EQ(stream.Seek(1, SeekOrigin::Current), 4);
  EXPECT_THROW(stream.Seek(-1, SeekOrigin::Begin), EStreamError);
}

TEST(MemoryStream, Int32FieldsAreLittleEndian) {
  TMemoryStream stream;
  stream.WriteInt32(-2);
  stream.WriteInt32(0x01020304);
  EXPECT_EQ(stream.Bytes(), (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1}));
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadInt32(), -2);
  EXPECT_EQ(stream.ReadInt32(), 0x01020304);
  EXPECT_THROW(stream.ReadInt32(), EStreamError);
}

TEST(Stream, CopyFromCopiesExactlyAndFailsOnAShortSource) {
  TMemoryStream source(Bytes("0123456789"));
  source.SetPosition(2);
  TMemoryStream dest;
  dest.CopyFrom(source, 5);
  EXPECT_EQ(dest.Bytes(), Bytes("23456"));
  EXPECT_EQ(source.Position(), 7);
  EXPECT_EQ(MessageOf([&] { dest.CopyFrom(source, 4); }), "Stream read error");
}

TEST(FileStream, WritesAndReadsBackAFile) {
  const std::string path = TempPath("tav_stream_test.bin");
  std::vector<std::uint8_t> data(200000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  {
    TFileStream out(path, FileMode::Create);
    out.WriteBuffer(data.data(), data.size());
    EXPECT_EQ(out.Size(), static_cast<std::int64_t>(data.size()));
  }
  {
    TFileStream in(path, FileMode::OpenRead);
    TMemoryStream copy;
    copy.CopyFrom(in, in.Size());
    EXPECT_EQ(copy.Bytes(), data);
    EXPECT_EQ(in.Read(data.data(), 1), 0u);
  }
  EXPECT_TRUE(FileExistsAt(path));
  EXPECT_TRUE(RemoveFileAt(path));
  EXPECT_FALSE(FileExistsAt(path));
}

TEST(FileStream, CreateTruncatesAnExistingFile) {
  const std::string path = TempPath("tav_truncate_test.bin");
  { TFileStream(path, FileMode::Create).WriteBuffer("long content", 12); }
  { TFileStream(path, FileMode::Create).WriteBuffer("ab", 2); }
  EXPECT_EQ(TFileStream(path, FileMode::OpenRead).Size(), 2);
  RemoveFileAt(path);
}

TEST(FileStream, FailuresNameThePath) {
  const std::string missing = TempPath("tav_no_such_folder/none.bin");
  EXPECT_EQ(MessageOf([&] { TFileStream(missing, FileMode::OpenRead); }), "Cannot open file " + missing);
  EXPECT_EQ(MessageOf([&] { TFileStream(missing, FileMode::Create); }), "Cannot create file " + missing);
}

TEST(FileSystem, AFolderIsNotAFileAndRenameReplaces) {
  EXPECT_FALSE(FileExistsAt(TempPath("")));
  const std::string from = TempPath("tav_rename_from.bin");
  const std::string to = TempPath("tav_rename_to.bin");
  { TFileStream(from, FileMode::Create).WriteBuffer("new", 3); }
  { TFileStream(to, FileMode::Create).WriteBuffer("older", 5); }
  ASSERT_TRUE(RenameFileReplacing(from, to));
  EXPECT_FALSE(FileExistsAt(from));
  EXPECT_EQ(TFileStream(to, FileMode::OpenRead).Size(), 3);
  RemoveFileAt(to);
  EXPECT_FALSE(RemoveFileAt(to));
}

TEST(FormatText, PutsTheArgumentInPlaceOfTheFirstMarker) {
  EXPECT_EQ(FormatText("Cannot open file %s", "C:\\a b.txt"), "Cannot open file C:\\a b.txt");
  EXPECT_EQ(FormatText("no marker", "x"), "no marker");
}

}  // namespace
