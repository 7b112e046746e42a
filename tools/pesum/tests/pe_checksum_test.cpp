// The PE checksum on hand-made images: the field's place in PE32 and PE32+,
// the sum itself, every single-byte change caught, and files that are no
// program refused without reading past their end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/pesum/PeChecksum.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A program file's headers as the checksum reads them: "MZ", e_lfanew at
// 0x3C, "PE\0\0" there, a file header, the optional header's magic; then
// body bytes.
Bytes Image(std::uint32_t signatureAt, std::uint16_t magic, std::size_t size) {
  Bytes image(size, 0);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  image[0] = 'M';
  image[1] = 'Z';
  std::memcpy(&image[0x3C], &signatureAt, 4);
  std::memcpy(&image[signatureAt], "PE\0\0", 4);
  std::memcpy(&image[signatureAt + 24], &magic, 2);
  return image;
}

constexpr std::uint16_t kPe32 = 0x10B;
constexpr std::uint16_t kPe32Plus = 0x20B;

TEST(PeChecksum, FindsTheFieldInBothKindsOfOptionalHeader) {
  EXPECT_EQ(PeChecksumOffset(Image(0x80, kPe32, 512)), 0x80u + 24 + 64);
  EXPECT_EQ(PeChecksumOffset(Image(0x100, kPe32Plus, 1024)), 0x100u + 24 + 64);
}

TEST(PeChecksum, SumsWordsWithEndAroundCarryThenAddsTheLength) {
  // A whole image of 0xFFFF words but the headers and the field: worked by
  // hand with the folding sum, and independent of the field's old content.
  Bytes image = Image(0x40, kPe32, 0x100);
  const std::size_t field = *PeChecksumOffset(image);
  std::uint32_t expected = 0;
  for (std::size_t at = 0; at < image.size(); at += 2) {
    if (at == field || at == field + 2) continue;
    expected += static_cast<std::uint32_t>(image[at] | image[at + 1] << 8);
    expected = (expected & 0xFFFF) + (expected >> 16);
  }
  expected += static_cast<std::uint32_t>(image.size());
  EXPECT_EQ(PeChecksum(image, field), expected);
  image[field] = 0xAB;
  image[field + 3] = 0xCD;
  EXPECT_EQ(PeChecksum(image, field), expected) << "the field itself does not count";
}

TEST(PeChecksum, AnOddLengthCountsTheLastByteAsAWord) {
  Bytes even = Image(0x40, kPe32, 0x200);
  Bytes odd = even;
  odd.push_back(0x11);
  const std::size_t field = *PeChecksumOffset(even);
  EXPECT_EQ(PeChecksum(odd, field), PeChecksum(even, field) + 0x11 + 1);
}

TEST(PeChecksum, OnceSetItChecksAndAnySingleChangedByteBreaksIt) {
  Bytes image = Image(0x80, kPe32, 4096 + 1);
  const std::size_t field = *PeChecksumOffset(image);
  SetPeChecksum(image, field);
  ASSERT_EQ(StoredPeChecksum(image, field), PeChecksum(image, field));
  for (std::size_t at = 0; at < image.size(); ++at) {
    for (const int flip : {0x01, 0x80, 0xFF}) {
      image[at] = static_cast<std::uint8_t>(image[at] ^ flip);
      if (PeChecksumOffset(image) == field) {
        EXPECT_NE(StoredPeChecksum(image, field), PeChecksum(image, field)) << "byte " << at;
      }
      image[at] = static_cast<std::uint8_t>(image[at] ^ flip);
    }
  }
}

TEST(PeChecksum, SummedPieceByPieceItIsTheWholesChecksum) {
  // Odd pieces too: a word may straddle two of them.
  Bytes image = Image(0x80, kPe32, 4097);
  const std::size_t field = *PeChecksumOffset(image);
  SetPeChecksum(image, field);
  for (const std::size_t pieceSize : {std::size_t{1}, std::size_t{7}, std::size_t{512}, image.size()}) {
    PeChecksumSum sum;
    for (std::size_t at = 0; at < image.size(); at += pieceSize)
      sum.Add(std::span<const std::uint8_t>(image).subspan(at, std::min(pieceSize, image.size() - at)));
    EXPECT_EQ(sum.Checksum(StoredPeChecksum(image, field)), PeChecksum(image, field)) << pieceSize;
  }
}

TEST(PeChecksum, ASumOfZeroIsStoredInTheSpellingThatChecks) {
  // Found by the fuzz target: a file whose words sum to 0xFFFF, which reads
  // back as 0 once the field holds 0xFFFF plus the length.
  Bytes image = Image(0x40, kPe32Plus, 200);
  const std::size_t field = *PeChecksumOffset(image);
  std::fill(image.begin() + 0x60, image.end(), std::uint8_t{0});
  image[field] = image[field + 1] = image[field + 2] = image[field + 3] = 0;
  std::uint32_t sum = 0;
  for (std::size_t at = 0; at < image.size(); at += 2) {
    sum += static_cast<std::uint32_t>(image[at] | image[at + 1] << 8);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  // Make the words sum to 0xFFFF with a filler word.
  const std::uint32_t filler = (0xFFFF - sum) & 0xFFFF;
  image[0x70] = static_cast<std::uint8_t>(filler);
  image[0x71] = static_cast<std::uint8_t>(filler >> 8);
  SetPeChecksum(image, field);
  EXPECT_EQ(StoredPeChecksum(image, field), PeChecksum(image, field));
}

TEST(PeChecksum, FilesThatAreNoProgramHaveNoField) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  Bytes noMz = Image(0x80, kPe32, 512);
  noMz[0] = 'X';
  Bytes noSignature = Image(0x80, kPe32, 512);
  noSignature[0x81] = 'X';
  Bytes farSignature = Image(0x80, kPe32, 512);
  const std::uint32_t far = 0xFFFFFFF0;
  std::memcpy(&farSignature[0x3C], &far, 4);
  Bytes beyondEnd = Image(0x80, kPe32, 512);
  const std::uint32_t late = 512 - 90;
  std::memcpy(&beyondEnd[0x3C], &late, 4);
  Bytes cut = Image(0x80, kPe32, 512);
  cut.resize(0x80 + 24 + 67);
  // The system's sum takes the field out as two whole words: at an odd
  // offset it straddles three, and no value would check (found by fuzzing).
  const Bytes oddField = Image(0x81, kPe32, 512);
  const Case cases[] = {
      {"empty", {}},
      {"shorter than e_lfanew", Bytes{'M', 'Z', 0, 0}},
      {"no MZ", noMz},
      {"no PE signature", noSignature},
      {"e_lfanew far beyond the file", farSignature},
      {"headers running past the end", beyondEnd},
      {"cut inside the field", cut},
      {"an unknown optional header", Image(0x80, 0x107, 512)},
      {"the field at an odd offset", oddField},
  };
  for (const Case& c : cases) EXPECT_FALSE(PeChecksumOffset(c.bytes).has_value()) << c.what;
}

}  // namespace
