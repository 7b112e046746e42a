// Finding and checking the parts of icon and bitmap files.
#include "winui/PictureFile.h"

#include <cstdlib>
#include <string>

#include "base/ByteReader.h"
#include "base/Exception.h"

namespace {

[[noreturn]] void Malformed(const char* what) { throw Exception(std::string("Invalid picture data: ") + what); }

std::uint32_t ReadLE(std::span<const std::uint8_t> data, std::size_t offset, std::size_t width) {
  ByteReader reader = ByteReader::At(data, offset);
  const std::uint32_t value = reader.Unsigned(width);
  if (!reader.Ok()) Malformed("truncated");
  return value;
}

// Icon file: a 6-byte header (0, type 1, count), then count 16-byte entries
// (width, height, colours, 0, planes, bits, size of the image, its offset).
PictureFile ReadIconFile(std::span<const std::uint8_t> data) {
  if (ReadLE(data, 0, 2) != 0 || ReadLE(data, 2, 2) != 1) Malformed("neither an icon nor a bitmap");
  const std::uint32_t count = ReadLE(data, 4, 2);
  if (count == 0) Malformed("icon without images");
  PictureFile file;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
    const std::uint32_t width = ReadLE(data, entry, 1);
    const std::uint32_t size = ReadLE(data, entry + 8, 4);
    const std::uint32_t offset = ReadLE(data, entry + 12, 4);
    if (size < 40 || offset > data.size() || size > data.size() - offset) Malformed("icon image outside the file");
    file.icons.push_back({offset, size, width == 0 ? 256 : static_cast<int>(width)});
  }
  file.width = file.height = NearestIconImage(file.icons, 32)->width;
  return file;
}

// Bitmap file: BITMAPFILEHEADER (14 bytes, bits at offset 10), then a
// BITMAPINFOHEADER, its colour table and, at that offset, the pixel rows.
PictureFile ReadBitmapFile(std::span<const std::uint8_t> data) {
  constexpr std::uint32_t kUncompressed = 0;  // BI_RGB
  const std::uint32_t bitsOffset = ReadLE(data, 10, 4);
  const std::uint32_t headerSize = ReadLE(data, 14, 4);
  const auto width = static_cast<std::int32_t>(ReadLE(data, 18, 4));
  const auto height = static_cast<std::int32_t>(ReadLE(data, 22, 4));
  const std::uint32_t bitCount = ReadLE(data, 28, 2);
  const std::uint32_t compression = ReadLE(data, 30, 4);
  const std::uint32_t coloursUsed = ReadLE(data, 46, 4);
  if (headerSize < 40 || headerSize > data.size()) Malformed("bitmap header");
  if (compression != kUncompressed) Malformed("compressed bitmap");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
    Malformed("bitmap bit count");
  if (width <= 0 || width > 32768 || height == 0 || std::abs(height) > 32768) Malformed("bitmap size");
  const std::uint64_t paletteEntries = coloursUsed != 0 ? coloursUsed : (bitCount <= 8 ? (1u << bitCount) : 0u);
  if (paletteEntries > 256) Malformed("bitmap colour table");
  const std::uint64_t tableEnd = PictureFile::kBitmapInfoOffset + std::uint64_t{headerSize} + paletteEntries * 4;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(std::abs(height));
  if (tableEnd > bitsOffset || bitsOffset > data.size() || stride * rows > data.size() - bitsOffset)
    Malformed("bitmap rows outside the file");
  PictureFile file;
  file.bitsOffset = bitsOffset;
  file.width = width;
  file.height = std::abs(height);
  return file;
}

}  // namespace

PictureFile ReadPictureFile(std::span<const std::uint8_t> file) {
  if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') return ReadBitmapFile(file);
  return ReadIconFile(file);
}

const IconImage* NearestIconImage(const std::vector<IconImage>& icons, int size) {
  const IconImage* nearest = nullptr;
  for (const IconImage& image : icons) {
    if (nearest == nullptr) {
      nearest = &image;
      continue;
    }
    const int distance = std::abs(image.width - size);
    const int best = std::abs(nearest->width - size);
    if (distance < best || (distance == best && image.width > nearest->width)) nearest = &image;
  }
  return nearest;
}
