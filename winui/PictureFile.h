// Where the parts of a picture file lie, every field checked before use: an
// icon file's images, or a bitmap file's header and pixel rows. Portable:
// the window layer (Picture_win.h) hands the parts it finds to the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// One image of an icon file: its bytes at offset, and its width in pixels
// (an entry's 0 is 256).
struct IconImage {
  std::size_t offset = 0;
  std::size_t size = 0;
  int width = 0;
};

struct PictureFile {
  std::vector<IconImage> icons;  // an icon file's images in file order; empty for a bitmap
  // A bitmap file's BITMAPINFO is at kBitmapInfoOffset, its rows at bitsOffset.
  std::size_t bitsOffset = 0;
  // The picture's own size: the icon's image nearest 32 pixels, or the bitmap.
  int width = 0;
  int height = 0;

  static constexpr std::size_t kBitmapInfoOffset = 14;
};

// Reads an icon file (.ico) or, starting with "BM", an uncompressed bitmap
// file (.bmp) of 1, 4, 8, 24 or 32 bits. Throws Exception "Invalid picture
// data: ..." for anything else, and for a part that lies outside the file.
PictureFile ReadPictureFile(std::span<const std::uint8_t> file);

// The image nearest size; of two as near, the larger, which shrinks better
// than the smaller grows. Null when there are none.
const IconImage* NearestIconImage(const std::vector<IconImage>& icons, int size);
