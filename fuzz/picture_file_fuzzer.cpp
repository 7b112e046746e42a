// Fuzz target: the picture file reader on arbitrary bytes. It accepts or
// refuses with its error, and every part it hands on lies inside the input.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/Exception.h"
#include "fuzz/FuzzTarget.h"
#include "winui/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PictureFile picture;
  try {
    picture = ReadPictureFile(std::span<const std::uint8_t>(data, size));
  } catch (const Exception&) {
    return 0;
  }
  for (const IconImage& image : picture.icons) {
    if (image.offset > size || image.size > size - image.offset) std::abort();
  }
  if (picture.icons.empty() && (picture.bitsOffset > size || picture.bitsOffset < PictureFile::kBitmapInfoOffset + 40))
    std::abort();
  if (picture.width <= 0 || picture.height <= 0) std::abort();
  return 0;
}
