// The PMCS10 container: its stated layouts, positions in a larger stream,
// and a table of damaged containers with the error each must give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "filestore/CompressStream.h"
#include "filestore/LZRW1KH.h"
#include "filestore/PackedBytes.h"
#include "testsupport/SampleData.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class Container : public ::testing::Test {
 protected:
  void SetUp() override { InitializeLzrw1KH(); }

  static Bytes Pack(const Bytes& input) {
    TMemoryStream source(input);
    TMemoryStream dest;
    TCompressStream().CompressStream(source, dest, static_cast<std::int64_t>(input.size()));
    EXPECT_EQ(source.Position(), static_cast<std::int64_t>(input.size()));
    EXPECT_EQ(dest.Position(), dest.Size());
    return dest.Bytes();
  }

  static Bytes Unpack(const Bytes& container) {
    TMemoryStream source(container);
    TMemoryStream dest;
    TCompressStream().ExpandStream(source, dest);
    EXPECT_EQ(source.Position(), static_cast<std::int64_t>(container.size()));
    return dest.Bytes();
  }

  static std::string UnpackError(const Bytes& container) {
    try {
      Unpack(container);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "(no error)";
  }
};

Bytes Le32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const Bytes kMagic{'P', 'M', 'C', 'S', '1', '0'};

TEST_F(Container, EmptyInputIsTheBareHeader) {
  EXPECT_EQ(Pack({}), Concat({kMagic, Le32(0)}));
  EXPECT_EQ(Unpack(Concat({kMagic, Le32(0)})), Bytes{});
}

TEST_F(Container, BlocksAreCutAtTheBlockSize) {
  const Bytes full = sample::Text(kLzrwMaxBlock + 1, 3);
  const Bytes oneBlock = Pack(Bytes(full.begin(), full.end() - 1));
  const Bytes twoBlocks = Pack(full);
  // The second record holds the last byte copied: 02 00 00 00 80 byte.
  ASSERT_EQ(twoBlocks.size(), oneBlock.size() + 6);
  EXPECT_EQ(Bytes(twoBlocks.end() - 6, twoBlocks.end()), Concat({Le32(2), {0x80, full.back()}}));
  EXPECT_EQ(Unpack(twoBlocks), full);
}

TEST_F(Container, ZerosGiveTheStatedBytes) {
  Bytes expected = Concat({kMagic, Le32(49), Le32(39), {0x40, 0xFF, 0x80}});
  for (int i = 0; i < 8; ++i) expected.insert(expected.end(), {0x00, 0x0F, 0xEF, 0x00});
  expected = Concat({expected, {0x00, 0x00, 0x07, 0x00}, Le32(2), {0x80, 0x00}});
  EXPECT_EQ(Pack(Bytes(32784, 0)), expected);
}

TEST_F(Container, RoundTripsManyBlocksThroughFiles) {
  const Bytes input = sample::Mixed(5 * kLzrwMaxBlock + 1234, 11);
#ifdef _WIN32
  const std::string packed = "C:\\windows\\temp\\tav_container.pmcs";
#else
  const std::string packed = "/tmp/tav_container.pmcs";
#endif
  {
    TMemoryStream source(input);
    TFileStream out(packed, FileMode::Create);
    TCompressStream().CompressStream(source, out, static_cast<std::int64_t>(input.size()));
  }
  TFileStream in(packed, FileMode::OpenRead);
  TMemoryStream restored;
  TCompressStream().ExpandStream(in, restored);
  EXPECT_EQ(restored.Bytes(), input);
  RemoveFileAt(packed);
}

TEST_F(Container, WorksInTheMiddleOfALargerStream) {
  const Bytes input = sample::Text(40000, 5);
  TMemoryStream stream;
  stream.WriteBuffer("head", 4);
  TMemoryStream source(input);
  TCompressStream().CompressStream(source, stream, 40000);
  const std::int64_t end = stream.Position();
  stream.WriteBuffer("tail", 4);

  stream.SetPosition(4);
  TMemoryStream restored;
  TCompressStream().ExpandStream(stream, restored);
  EXPECT_EQ(restored.Bytes(), input);
  EXPECT_EQ(stream.Position(), end);
}

TEST_F(Container, WriterTakesOnlyCountBytesAndRefusesAShortSource) {
  TMemoryStream source(sample::Text(1000, 1));
  TMemoryStream dest;
  TCompressStream().CompressStream(source, dest, 600);
  EXPECT_EQ(source.Position(), 600);

  TMemoryStream shortSource(Bytes(100, 1));
  TMemoryStream dest2;
  try {
    TCompressStream().CompressStream(shortSource, dest2, 40000);
    ADD_FAILURE() << "a short source was accepted";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
}

TEST_F(Container, WrongMagicWritesNothing) {
  TMemoryStream source(Concat({{'P', 'M', 'C', 'S', '1', '1'}, Le32(0)}));
  TMemoryStream dest;
  try {
    TCompressStream().ExpandStream(source, dest);
    ADD_FAILURE() << "accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Wrong file type");
  }
  EXPECT_EQ(dest.Size(), 0);
}

TEST_F(Container, TotalOfZeroOrBelowIsEmpty) {
  EXPECT_EQ(Unpack(Concat({kMagic, Le32(-5)})), Bytes{});
}

struct DamagedContainer {
  const char* fault;
  Bytes bytes;
  const char* message;
};

TEST_F(Container, RefusesDamagedContainers) {
  const Bytes good = Pack(sample::Text(50000, 2));
  const Bytes copiedBlock = Concat({Le32(3), {0x80, 'a', 'b'}});
  const DamagedContainer rows[] = {
      {"shorter than the magic", {'P', 'M', 'C'}, "Stream read error"},
      {"no Total", kMagic, "Stream read error"},
      {"cut inside a block", Bytes(good.begin(), good.end() - 1), "Stream read error"},
      {"cut inside a block size", Bytes(good.begin(), good.begin() + 12), "Stream read error"},
      {"block size 0", Concat({kMagic, Le32(4), Le32(0)}), "PMCS10 : damaged container (block size out of range)"},
      {"block size negative", Concat({kMagic, Le32(8), Le32(-1)}), "PMCS10 : damaged container (block size out of range)"},
      {"block size too large", Concat({kMagic, Le32(40000), Le32(32785)}),
       "PMCS10 : damaged container (block size out of range)"},
      {"block beyond Total", Concat({kMagic, Le32(6), copiedBlock}),
       "PMCS10 : damaged container (block larger than Total allows)"},
      {"Total leaves a partial record", Concat({kMagic, Le32(9), copiedBlock}),
       "PMCS10 : damaged container (block record cut off by Total)"},
      {"damaged block", Concat({kMagic, Le32(6), Le32(2), {0x40, 0x00}}),
       "LZRW1KH : damaged block (coded block shorter than 3 bytes)"},
  };
  for (const auto& row : rows) EXPECT_EQ(UnpackError(row.bytes), row.message) << row.fault;
}

TEST_F(Container, ReadBlocksReportsEachRecord) {
  const Bytes input = Concat({sample::RandomBytes(kLzrwMaxBlock, 1), Bytes(100, 'z')});
  TMemoryStream source(Pack(input));
  std::vector<std::pair<std::uint8_t, std::uint16_t>> seen;
  TCompressStream().ReadBlocks(source, [&](const TCompressStream::BlockInfo& b) {
    seen.emplace_back(b.flag, b.restoredSize);
  });
  EXPECT_EQ(seen, (std::vector<std::pair<std::uint8_t, std::uint16_t>>{{0x80, kLzrwMaxBlock}, {0x40, 100}}));
}

}  // namespace

// Whole runs of bytes packed in memory, as the build stores descriptions that
// carry no files.
TEST_F(Container, PackedBytesRestoreExactlyAndRefuseBytesAfterTheContainer) {
  const Bytes text = sample::Text(40000, 7);
  const Bytes packed = ::Pack(text);
  EXPECT_TRUE(IsPacked(packed));
  EXPECT_FALSE(IsPacked(text));
  EXPECT_FALSE(IsPacked(Bytes{'P', 'M', 'C', 'S', '1'}));
  EXPECT_LT(packed.size(), text.size());
  EXPECT_EQ(::Unpack(packed), text);
  Bytes trailing = packed;
  trailing.push_back(0);
  EXPECT_THROW(::Unpack(trailing), Exception);
  EXPECT_THROW(::Unpack(Bytes(packed.begin(), packed.end() - 1)), EStreamError);
}
