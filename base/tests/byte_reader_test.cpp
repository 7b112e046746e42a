// The bounded little-endian reader and its writer.
#include <gtest/gtest.h>

#include "base/ByteReader.h"
#include "base/ByteWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ByteReader, AReadPastTheEndTakesNothingAndEveryLaterReadFails) {
  const Bytes bytes{0x34, 0x12, 0xAA, 0xBB, 0xCC};
  ByteReader reader(bytes);
  EXPECT_EQ(reader.U16(), 0x1234u);
  EXPECT_EQ(reader.U32(), 0u);  // three bytes remain
  EXPECT_FALSE(reader.Ok());
  EXPECT_EQ(reader.Offset(), 2u);
  EXPECT_EQ(reader.U8(), 0u);  // although one would fit
  EXPECT_TRUE(reader.Bytes(1).empty());
  EXPECT_EQ(reader.Remaining(), 0u);
  EXPECT_FALSE(reader.AtEnd());

  EXPECT_FALSE(ByteReader::At(bytes, 6).Ok());
  ByteReader last = ByteReader::At(bytes, 4);
  EXPECT_EQ(last.U8(), 0xCCu);
  EXPECT_TRUE(last.AtEnd());
}

TEST(ByteReader, SignedValuesAreExtendedFromTheirWidth) {
  const Bytes bytes = ByteWriter().U8(0x80).U16(0xFFFE).Unsigned(0x7FFFFF, 3).U32(0xFFFFFFFF).Take();
  ByteReader reader(bytes);
  EXPECT_EQ(reader.Signed(1), -128);
  EXPECT_EQ(reader.Signed(2), -2);
  EXPECT_EQ(reader.Signed(3), 0x7FFFFF);
  EXPECT_EQ(reader.Signed(4), -1);
  EXPECT_TRUE(reader.AtEnd());
}

}  // namespace
