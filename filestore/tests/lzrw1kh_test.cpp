// LZRW1-KH: the format's own vectors, agreement with the reference steps
// over chosen inputs, and a table of damaged blocks the expander must refuse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "filestore/LZRW1KH.h"
#include "filestore/tests/reference_codec.h"
#include "testsupport/SampleData.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class Lzrw1KH : public ::testing::Test {
 protected:
  void SetUp() override { InitializeLzrw1KH(); }
};

// Buffers of exactly the sizes the interface promises, so that any access
// beyond them is caught by the sanitizers.
Bytes Compress(const Bytes& input) {
  Bytes exact(input);
  Bytes dest(input.size() + kLzrwCompressSlack);
  const std::uint16_t size = CompressBlock(exact.data(), dest.data(), static_cast<std::uint16_t>(input.size()));
  EXPECT_GE(size, 1u);
  EXPECT_LE(size, input.size() + 1);
  EXPECT_EQ(exact, input) << "the compressor must leave its input alone";
  dest.resize(size);
  return dest;
}

Bytes Expand(const Bytes& block) {
  auto exact = std::make_unique<std::uint8_t[]>(block.size());
  std::copy(block.begin(), block.end(), exact.get());
  Bytes dest(kLzrwMaxBlock);
  const std::uint16_t n = ExpandBlock(exact.get(), dest.data(), static_cast<std::uint32_t>(block.size()));
  dest.resize(n);
  return dest;
}

Bytes Repeat(const Bytes& unit, std::size_t times) {
  Bytes out;
  for (std::size_t i = 0; i < times; ++i) out.insert(out.end(), unit.begin(), unit.end());
  return out;
}

TEST_F(Lzrw1KH, FormatVectors) {
  EXPECT_EQ(Compress({}), Bytes{0x80});
  EXPECT_EQ(Compress(Bytes(15, 0x61)), (Bytes{0x40, 0x40, 0x00, 0x61, 0x00, 0x1B}));
  EXPECT_EQ(Compress(Bytes(16, 0x61)), (Bytes{0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 0x61}));
  EXPECT_EQ(Compress(Bytes(5000, 0x61)),
            (Bytes{0x40, 0xC0, 0x00, 0x00, 0x0F, 0xEF, 0x61, 0x00, 0x03, 0x79, 0x61}));

  const Bytes abc = Compress(Repeat({0x61, 0x62, 0x63}, 100));
  ASSERT_EQ(abc.size(), 42u);
  EXPECT_EQ(Bytes(abc.begin(), abc.begin() + 10), (Bytes{0x40, 0x1F, 0xFF, 0x61, 0x62, 0x63, 0x00, 0x3F, 0x01, 0x2F}));

  Bytes ascending(256);
  for (int i = 0; i < 256; ++i) ascending[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  Bytes copied{0x80};
  copied.insert(copied.end(), ascending.begin(), ascending.end());
  EXPECT_EQ(Compress(ascending), copied);
}

TEST_F(Lzrw1KH, ShortInputsAreAlwaysCopied) {
  EXPECT_EQ(Compress({7}), (Bytes{0x80, 7}));
  EXPECT_EQ(Compress({7, 7}), (Bytes{0x80, 7, 7}));
  EXPECT_EQ(Expand({0x80}), Bytes{});
}

TEST_F(Lzrw1KH, AFullIncompressibleBlockIsCopiedAndRestored) {
  const Bytes input = sample::RandomBytes(kLzrwMaxBlock, 1);
  const Bytes block = Compress(input);
  ASSERT_EQ(block.size(), kLzrwMaxCoded);
  EXPECT_EQ(block[0], kLzrwFlagCopied);
  EXPECT_EQ(Expand(block), input);
}

// A coded form exactly as long as the input is kept; such inputs are found by
// searching short strings over a three-letter alphabet.
TEST_F(Lzrw1KH, CodedFormAsLongAsTheInputIsKept) {
  int found = 0;
  for (std::uint64_t seed = 0; seed < 4000 && found < 5; ++seed) {
    sample::Random random(seed);
    Bytes input(8 + random.Below(40));
    for (auto& b : input) b = static_cast<std::uint8_t>('a' + random.Below(3));
    const Bytes reference = reference::Compress(input);
    if (reference.size() != input.size()) continue;
    ++found;
    EXPECT_EQ(reference[0], kLzrwFlagCoded);
    EXPECT_EQ(Compress(input), reference);
  }
  EXPECT_GT(found, 0);
}

struct Sample {
  const char* kind;
  std::function<Bytes(std::size_t, std::uint64_t)> make;
};

// Sizes around the limits that matter: the smallest blocks, one group of
// items, the longest run and offset, the positions that turn negative in the
// table, and a full block.
TEST_F(Lzrw1KH, AgreesWithTheReferenceStepsAndRoundTrips) {
  const std::size_t sizes[] = {3, 4, 17, 18, 19, 33, 100, 4095, 4096, 4097, 4111, 4112, 32767, 32768, 32769, 32782, 32783};
  const Sample samples[] = {{"text", sample::Text},       {"random", sample::RandomBytes}, {"runs", sample::Runs},
                            {"records", sample::Records}, {"mixed", sample::Mixed}};
  for (const auto& s : samples) {
    for (const std::size_t size : sizes) {
      const Bytes input = s.make(size, size);
      const Bytes block = Compress(input);
      ASSERT_EQ(block, reference::Compress(input)) << s.kind << " " << size;
      ASSERT_EQ(Expand(block), input) << s.kind << " " << size;
    }
  }
}

TEST_F(Lzrw1KH, RunsAtTheEndAndAcrossTheLongestRun) {
  for (const std::size_t run : {15u, 16u, 17u, 4095u, 4096u, 4110u, 4111u, 8190u, 8191u, 32783u - 20u}) {
    Bytes input = sample::Text(20, run);
    input.insert(input.end(), run, 0x5A);
    input.resize(std::min<std::size_t>(input.size(), kLzrwMaxBlock));
    const Bytes block = Compress(input);
    ASSERT_EQ(block, reference::Compress(input)) << run;
    ASSERT_EQ(Expand(block), input) << run;
  }
}

TEST_F(Lzrw1KH, SameInputGivesSameBytesWhateverCameBefore) {
  const Bytes input = sample::Mixed(20000, 7);
  const Bytes first = Compress(input);
  Compress(sample::Text(30000, 8));
  EXPECT_EQ(Compress(input), first);
}

TEST_F(Lzrw1KH, FindMatchRecordsEveryProbedPosition) {
  const Bytes input = Repeat({'x', 'y', 'z', 'w'}, 8);
  const auto n = static_cast<std::uint16_t>(input.size());
  CompressBlock(input.data(), Bytes(n + kLzrwCompressSlack).data(), 0);  // clears the table
  EXPECT_FALSE(FindMatch(input.data(), 0, n).found);
  const Lzrw1KHMatch match = FindMatch(input.data(), 4, n);
  ASSERT_TRUE(match.found);
  EXPECT_EQ(match.position, 0);
  EXPECT_EQ(match.length, 18);
  // The table now holds 4 for "xyz": position 8 finds 4, not 0.
  EXPECT_EQ(FindMatch(input.data(), 8, n).position, 4);
}

TEST_F(Lzrw1KH, ExpanderAcceptsWhatTheFormatAllows) {
  // Any flag but 0x80 reads as coded; a coded block of just its control word
  // restores nothing; a run count may go up to 4,111.
  EXPECT_EQ(Expand({0x00, 0x00, 0x00, 0x41}), Bytes{0x41});
  EXPECT_EQ(Expand({0x40, 0x00, 0x00}), Bytes{});
  EXPECT_EQ(Expand({0x40, 0x80, 0x00, 0x00, 0x0F, 0xFF, 0x07}), Bytes(4111, 0x07));
  // Offset 1 with length 18 repeats the last byte.
  EXPECT_EQ(Expand({0x40, 0x40, 0x00, 0x09, 0x00, 0x1F}), Bytes(19, 0x09));
}

TEST_F(Lzrw1KH, ExpanderFillsExactlyTheLargestBlock) {
  // Seven runs of 4,111 and one of 4,006 make 32,783 bytes; the ninth item,
  // a literal, would pass the limit.
  Bytes block{0x40, 0xFF, 0x00};
  for (int i = 0; i < 7; ++i) block.insert(block.end(), {0x00, 0x0F, 0xFF, 0x01});
  block.insert(block.end(), {0x00, 0x0F, 0x96, 0x02});
  EXPECT_EQ(Expand(block).size(), kLzrwMaxBlock);
  block.push_back(0x03);
  EXPECT_THROW(Expand(block), ELzrw1KHCompressor);
}

struct DamagedBlock {
  const char* fault;
  Bytes block;
  const char* message;
};

TEST_F(Lzrw1KH, ExpanderRefusesDamagedBlocks) {
  const Bytes longRuns = [] {
    Bytes b{0x40, 0xFF, 0xFF};
    for (int i = 0; i < 9; ++i) b.insert(b.end(), {0x00, 0x0F, 0xFF, 0x00});
    return b;
  }();
  Bytes tooLongCopy(kLzrwMaxCoded + 1, 0x11);
  tooLongCopy[0] = kLzrwFlagCopied;
  Bytes controlCut{0x40, 0x00, 0x00};
  controlCut.insert(controlCut.end(), 16, 'a');
  controlCut.push_back(0x00);  // half a control word

  const DamagedBlock rows[] = {
      {"no bytes", {}, "empty"},
      {"coded, 1 byte", {0x40}, "coded block shorter than 3 bytes"},
      {"coded, 2 bytes", {0x40, 0x00}, "coded block shorter than 3 bytes"},
      {"copied, too long", tooLongCopy, "output past 32783 bytes"},
      {"offset before start", {0x40, 0x40, 0x00, 0x61, 0x00, 0x20}, "offset before start of output"},
      {"offset at empty output", {0x40, 0x80, 0x00, 0x00, 0x10}, "offset before start of output"},
      {"copy item cut", {0x40, 0x40, 0x00, 0x61, 0x00}, "item cut off"},
      {"run item cut", {0x40, 0x80, 0x00, 0x00, 0x00, 0x05}, "item cut off"},
      {"runs past the limit", longRuns, "output past 32783 bytes"},
      {"control word cut", controlCut, "control word cut off"},
      {"control word, no item", [&] { Bytes b = controlCut; b.push_back(0x00); return b; }(), "item cut off"},
  };
  for (const auto& row : rows) {
    try {
      if (row.block.empty()) {
        std::uint8_t dummy = 0;
        Bytes dest(kLzrwMaxBlock);
        ExpandBlock(&dummy, dest.data(), 0);
      } else {
        Expand(row.block);
      }
      ADD_FAILURE() << row.fault << ": accepted";
    } catch (const ELzrw1KHCompressor& e) {
      EXPECT_EQ(e.Message(), std::string("LZRW1KH : damaged block (") + row.message + ")") << row.fault;
    }
  }
}

TEST(Lzrw1KHTable, CompressingWithoutTheTableIsAnErrorNotACrash) {
  FinalizeLzrw1KH();
  Bytes dest(16);
  const std::uint8_t input[4] = {1, 2, 3, 4};
  EXPECT_THROW(CompressBlock(input, dest.data(), 4), ELzrw1KHCompressor);
  InitializeLzrw1KH();
  EXPECT_EQ(CompressBlock(input, dest.data(), 4), 5);
}

}  // namespace
