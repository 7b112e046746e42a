// The zip records: each field where the format puts it, and read back.
#include <gtest/gtest.h>

#include "zipformat/ZipRecords.h"

namespace {

ZipCentralHeader DistinctFields() {
  ZipCentralHeader h;
  h.VersionMadeBy = 0x0101;
  h.VersionNeeded = 0x0202;
  h.GeneralFlags = 0x0303;
  h.PackMethod = 0x0404;
  h.ModDateTime = 0x06060505;
  h.Crc32 = 0x07070707;
  h.PackedSize = 0x08080808;
  h.UnpackedSize = 0x09090909;
  h.NameLength = 0x0A0A;
  h.ExtraLength = 0x0B0B;
  h.CommentLength = 0x0C0C;
  h.DiskStart = 0x0D0D;
  h.InternalAttributes = 0x0E0E;
  h.ExternalAttributes = 0x0F0F0F0F;
  h.LocalOffset = 0x10101010;
  return h;
}

// The bytes of a record as the format lays it out: each field's byte value
// repeated over its width, signature first.
std::vector<std::uint8_t> Laid(std::uint32_t signature, std::initializer_list<std::pair<std::uint8_t, int>> fields) {
  ByteWriter out;
  out.U32(signature);
  for (const auto& [value, width] : fields)
    for (int i = 0; i < width; ++i) out.U8(value);
  return out.Take();
}

TEST(ZipRecords, HeadersAreLaidOutFieldByFieldAndReadBack) {
  const ZipCentralHeader fields = DistinctFields();
  ByteWriter local;
  WriteLocalHeader(local, fields);
  const std::vector<std::uint8_t> localBytes = local.Take();
  EXPECT_EQ(localBytes, Laid(kLocalHeaderSignature, {{2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 4}, {8, 4},
                                                     {9, 4}, {10, 2}, {11, 2}}));
  ASSERT_EQ(localBytes.size(), kLocalHeaderSize);
  EXPECT_EQ(localBytes[kLocalCrcOffset], 7);

  ByteWriter central;
  WriteCentralHeader(central, fields);
  const std::vector<std::uint8_t> centralBytes = central.Take();
  EXPECT_EQ(centralBytes, Laid(kCentralHeaderSignature, {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 4},
                                                         {8, 4}, {9, 4}, {10, 2}, {11, 2}, {12, 2}, {13, 2},
                                                         {14, 2}, {15, 4}, {16, 4}}));
  ASSERT_EQ(centralBytes.size(), kCentralHeaderSize);
  EXPECT_EQ(centralBytes[kCentralLocalOffsetOffset], 16);

  ByteReader reader = ByteReader::At(centralBytes, kSignatureSize);
  const ZipCentralHeader read = ReadCentralHeaderFields(reader);
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(read.VersionMadeBy, fields.VersionMadeBy);
  EXPECT_EQ(read.ModDateTime, fields.ModDateTime);
  EXPECT_EQ(read.ExtraLength, fields.ExtraLength);
  EXPECT_EQ(read.DiskStart, fields.DiskStart);
  EXPECT_EQ(read.LocalOffset, fields.LocalOffset);
}

TEST(ZipRecords, TheEndRecordIsLaidOutFieldByField) {
  ZipEndRecord end;
  end.Disk = 0x0101, end.DirectoryDisk = 0x0202, end.EntriesHere = 0x0303, end.Entries = 0x0404;
  end.DirectorySize = 0x05050505, end.DirectoryOffset = 0x06060606, end.CommentLength = 0x0707;
  ByteWriter out;
  WriteEndRecord(out, end);
  const std::vector<std::uint8_t> bytes = out.Take();
  EXPECT_EQ(bytes, Laid(kEndRecordSignature, {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 4}, {6, 4}, {7, 2}}));
  ByteReader reader = ByteReader::At(bytes, kSignatureSize);
  EXPECT_EQ(ReadEndRecordFields(reader).DirectoryOffset, end.DirectoryOffset);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(ZipRecords, ARecordCutShortIsNotReadPastItsEnd) {
  const std::vector<std::uint8_t> cut(kLocalHeaderSize - kSignatureSize - 1, 0xFF);
  ByteReader reader(cut);
  ReadLocalHeaderFields(reader);
  EXPECT_FALSE(reader.Ok());
}

}  // namespace
