// The picture file reader on its own, natively: where the parts of icon and
// bitmap files lie, which icon image is chosen, and the error for each
// malformed field.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "winui/PictureFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& bytes, std::size_t at, std::uint32_t value, int size) {
  if (bytes.size() < at + static_cast<std::size_t>(size)) bytes.resize(at + static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// An icon file whose entries have these widths, each image 40 bytes.
Bytes IconFile(const std::vector<int>& widths) {
  Bytes bytes;
  Put(bytes, 0, 0, 2), Put(bytes, 2, 1, 2), Put(bytes, 4, static_cast<std::uint32_t>(widths.size()), 2);
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(widths.size());
  for (std::size_t i = 0; i < widths.size(); ++i, offset += 40) {
    const std::size_t entry = 6 + 16 * i;
    Put(bytes, entry, static_cast<std::uint32_t>(widths[i]) & 0xFF, 1);
    Put(bytes, entry + 8, 40, 4), Put(bytes, entry + 12, offset, 4);
  }
  bytes.resize(offset);
  return bytes;
}

// A bitmap file: the headers, then the colour table and rows up to size.
Bytes BitmapFile(std::int32_t width, std::int32_t height, std::uint32_t bitCount, std::size_t size,
                 std::uint32_t bitsOffset = 54, std::uint32_t coloursUsed = 0, std::uint32_t compression = 0) {
  Bytes bytes{'B', 'M'};
  Put(bytes, 10, bitsOffset, 4), Put(bytes, 14, 40, 4);
  Put(bytes, 18, static_cast<std::uint32_t>(width), 4), Put(bytes, 22, static_cast<std::uint32_t>(height), 4);
  Put(bytes, 26, 1, 2), Put(bytes, 28, bitCount, 2), Put(bytes, 30, compression, 4), Put(bytes, 46, coloursUsed, 4);
  bytes.resize(size);
  return bytes;
}

std::string Error(const Bytes& bytes) {
  try {
    ReadPictureFile(bytes);
  } catch (const Exception& error) {
    return error.Message();
  }
  return "(accepted)";
}

TEST(PictureFile, IconImagesLieWhereTheirEntriesSay) {
  const Bytes file = IconFile({16, 0, 48});
  const PictureFile picture = ReadPictureFile(file);
  ASSERT_EQ(picture.icons.size(), 3u);
  EXPECT_EQ(picture.icons[0].offset, 54u);
  EXPECT_EQ(picture.icons[2].offset, 134u);
  EXPECT_EQ(picture.icons[2].size, 40u);
  EXPECT_EQ(picture.icons[1].width, 256);  // an entry's 0
  EXPECT_EQ(picture.width, 48);            // nearest 32 of 16, 256 and 48; a tie goes to the larger
  EXPECT_EQ(picture.height, 48);
}

TEST(PictureFile, TheNearestIconImageAndOfTwoAsNearTheLarger) {
  const PictureFile picture = ReadPictureFile(IconFile({16, 32, 48, 24}));
  EXPECT_EQ(NearestIconImage(picture.icons, 32)->width, 32);
  EXPECT_EQ(NearestIconImage(picture.icons, 20)->width, 24);
  EXPECT_EQ(NearestIconImage(picture.icons, 40)->width, 48);
  EXPECT_EQ(NearestIconImage(picture.icons, 1)->width, 16);
  EXPECT_EQ(NearestIconImage({}, 32), nullptr);
}

TEST(PictureFile, BitmapRowsAndSize) {
  const PictureFile bottomUp = ReadPictureFile(BitmapFile(3, 2, 24, 54 + 2 * 12));
  EXPECT_TRUE(bottomUp.icons.empty());
  EXPECT_EQ(bottomUp.bitsOffset, 54u);
  EXPECT_EQ(bottomUp.width, 3);
  EXPECT_EQ(bottomUp.height, 2);
  const PictureFile topDown = ReadPictureFile(BitmapFile(1, -5, 1, 62 + 5 * 4, 62));  // two colours, rows of 4 bytes
  EXPECT_EQ(topDown.bitsOffset, 62u);
  EXPECT_EQ(topDown.height, 5);
  EXPECT_EQ(ReadPictureFile(BitmapFile(2, 2, 8, 70 + 8, 70, 4)).bitsOffset, 70u);  // a table of four colours
}

TEST(PictureFile, EachMalformedFieldHasItsError) {
  Bytes outside = IconFile({32});
  Put(outside, 6 + 12, 23, 4);  // the image's offset one past where it fits
  Bytes small = IconFile({32});
  Put(small, 6 + 8, 39, 4);
  Bytes oldHeader = BitmapFile(1, 1, 24, 2000);
  Put(oldHeader, 14, 12, 4);  // the 12-byte header of OS/2 bitmaps
  const struct {
    const char* name;
    Bytes bytes;
    const char* error;
  } cases[] = {
      {"empty", {}, "truncated"},
      {"neither", {1, 2, 3, 4, 5, 6}, "neither an icon nor a bitmap"},
      {"cursor file", {0, 0, 2, 0, 1, 0}, "neither an icon nor a bitmap"},
      {"no images", {0, 0, 1, 0, 0, 0}, "icon without images"},
      {"entry cut off", {0, 0, 1, 0, 1, 0, 32, 32}, "truncated"},
      {"image outside", outside, "icon image outside the file"},
      {"image too small", small, "icon image outside the file"},
      {"bitmap cut off", {'B', 'M', 0, 0}, "truncated"},
      {"old header", oldHeader, "bitmap header"},
      {"compressed", BitmapFile(8, 8, 8, 2000, 54, 0, 1), "compressed bitmap"},
      {"bit count", BitmapFile(4, 4, 3, 2000), "bitmap bit count"},
      {"no width", BitmapFile(0, 4, 24, 2000), "bitmap size"},
      {"no height", BitmapFile(4, 0, 24, 2000), "bitmap size"},
      {"too wide", BitmapFile(32769, 1, 24, 2000), "bitmap size"},
      {"too tall", BitmapFile(1, -32769, 24, 2000), "bitmap size"},
      {"colour table", BitmapFile(1, 1, 8, 2000, 54, 257), "bitmap colour table"},
      {"table over the rows", BitmapFile(4, 4, 4, 2000), "bitmap rows outside the file"},
      {"rows past the end", BitmapFile(4, 4, 24, 54 + 4 * 12 - 1), "bitmap rows outside the file"},
      {"rows start past the end", BitmapFile(1, 1, 24, 60, 61), "bitmap rows outside the file"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(Error(test.bytes), std::string("Invalid picture data: ") + test.error) << test.name;
  }
}

}  // namespace
