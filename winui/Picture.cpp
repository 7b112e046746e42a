#include "winui/Picture.h"

#include <cstring>
#include <cstdlib>

#include "base/ByteReader.h"
#include "base/Exception.h"
#include "filestore/PackedBytes.h"

namespace {

[[noreturn]] void Malformed(const char* what) {
  throw Exception(std::string("Invalid picture data: ") + what);
}

std::uint32_t ReadLE(const std::vector<std::uint8_t>& data, std::size_t offset, std::size_t width) {
  ByteReader reader = ByteReader::At(data, offset);
  const std::uint32_t value = reader.Unsigned(width);
  if (!reader.Ok()) Malformed("truncated");
  return value;
}

}  // namespace

TPicture::~TPicture() { Clear(); }

void TPicture::Clear() {
  if (icon_ != nullptr) DestroyIcon(icon_);
  if (deviceBitmap_ != nullptr) DeleteObject(deviceBitmap_);
  icon_ = nullptr;
  iconSize_ = 0;
  deviceBitmap_ = nullptr;
  bitmapInfo_ = nullptr;
  bits_ = nullptr;
  icons_.clear();
  width_ = height_ = 0;
  data_.clear();
}

void TPicture::SetData(std::span<const std::uint8_t> bytes) {
  Clear();
  if (bytes.empty()) return;
  try {
    // The build packs pictures that packing makes smaller.
    if (IsPacked(bytes)) {
      data_ = Unpack(bytes);
    } else {
      data_.assign(bytes.begin(), bytes.end());
    }
    if (data_.size() >= 2 && data_[0] == 'B' && data_[1] == 'M') {
      ParseBitmap();
    } else {
      ParseIcon();
    }
  } catch (...) {
    Clear();
    throw;
  }
}

// Icon file: a 6-byte header (0, type 1, count), then count 16-byte entries
// (width, height, colours, 0, planes, bits, size of the image, its offset).
void TPicture::ParseIcon() {
  if (ReadLE(data_, 0, 2) != 0 || ReadLE(data_, 2, 2) != 1) Malformed("neither an icon nor a bitmap");
  const std::uint32_t count = ReadLE(data_, 4, 2);
  if (count == 0) Malformed("icon without images");
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
    const std::uint32_t width = ReadLE(data_, entry, 1);
    const std::uint32_t size = ReadLE(data_, entry + 8, 4);
    const std::uint32_t offset = ReadLE(data_, entry + 12, 4);
    if (size < 40 || offset > data_.size() || size > data_.size() - offset) Malformed("icon image outside the file");
    icons_.push_back({offset, size, width == 0 ? 256 : static_cast<int>(width)});
  }
  const IconImage* shown = FindIconImage(32);
  icon_ = CreateIcon(shown->width);
  if (icon_ == nullptr) Malformed("icon image the system cannot read");
  iconSize_ = shown->width;
  width_ = height_ = shown->width;
}

// The image nearest size; of two as near, the larger, which shrinks better
// than the smaller grows.
const TPicture::IconImage* TPicture::FindIconImage(int size) const {
  const IconImage* nearest = nullptr;
  for (const IconImage& image : icons_) {
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

HICON TPicture::CreateIcon(int size) const {
  const IconImage* image = FindIconImage(size);
  if (image == nullptr) return nullptr;
  auto* bits = const_cast<PBYTE>(data_.data() + image->offset);  // the API takes a non-const pointer it only reads
  return CreateIconFromResourceEx(bits, static_cast<DWORD>(image->size), TRUE, 0x00030000, size, size,
                                  LR_DEFAULTCOLOR);
}

// Bitmap file: BITMAPFILEHEADER (14 bytes, bits at offset 10), then a
// BITMAPINFOHEADER, its colour table and, at that offset, the pixel rows.
void TPicture::ParseBitmap() {
  const std::uint32_t bitsOffset = ReadLE(data_, 10, 4);
  const std::uint32_t headerSize = ReadLE(data_, 14, 4);
  const auto width = static_cast<std::int32_t>(ReadLE(data_, 18, 4));
  const auto height = static_cast<std::int32_t>(ReadLE(data_, 22, 4));
  const std::uint32_t bitCount = ReadLE(data_, 28, 2);
  const std::uint32_t compression = ReadLE(data_, 30, 4);
  const std::uint32_t coloursUsed = ReadLE(data_, 46, 4);
  if (headerSize < 40 || headerSize > data_.size()) Malformed("bitmap header");
  if (compression != BI_RGB) Malformed("compressed bitmap");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
    Malformed("bitmap bit count");
  if (width <= 0 || width > 32768 || height == 0 || std::abs(height) > 32768) Malformed("bitmap size");
  const std::uint64_t paletteEntries =
      coloursUsed != 0 ? coloursUsed : (bitCount <= 8 ? (1u << bitCount) : 0u);
  if (paletteEntries > 256) Malformed("bitmap colour table");
  const std::uint64_t tableEnd = 14 + static_cast<std::uint64_t>(headerSize) + paletteEntries * 4;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(std::abs(height));
  if (tableEnd > bitsOffset || bitsOffset > data_.size() || stride * rows > data_.size() - bitsOffset)
    Malformed("bitmap rows outside the file");
  bitmapInfo_ = reinterpret_cast<const BITMAPINFO*>(data_.data() + 14);
  bits_ = data_.data() + bitsOffset;
  width_ = width;
  height_ = std::abs(height);
}

void TPicture::Draw(HDC dc, int x, int y, int width, int height) const {
  if (width <= 0 || height <= 0) return;
  if (!icons_.empty()) {
    if (iconSize_ != width) {
      if (HICON sized = CreateIcon(width)) {
        DestroyIcon(icon_);
        icon_ = sized;
        iconSize_ = width;
      }
    }
    DrawIconEx(dc, x, y, icon_, width, height, 0, nullptr, DI_NORMAL);
  } else if (bitmapInfo_ != nullptr && width == width_ && height == height_) {
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0, 0, 0,
                      static_cast<UINT>(height_), bits_, bitmapInfo_, DIB_RGB_COLORS);
  } else if (bitmapInfo_ != nullptr) {
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // as HALFTONE requires
    StretchDIBits(dc, x, y, width, height, 0, 0, width_, height_, bits_, bitmapInfo_, DIB_RGB_COLORS, SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
  }
}

void TPicture::DrawTransparent(HDC dc, int x, int y, int width, int height, int sourceX, int sourceWidth) const {
  if (bitmapInfo_ == nullptr || sourceX < 0 || sourceWidth <= 0 || sourceX + sourceWidth > width_ || width <= 0 ||
      height <= 0)
    return;
  HDC memory = CreateCompatibleDC(dc);
  if (deviceBitmap_ == nullptr)
    deviceBitmap_ = CreateDIBitmap(dc, &bitmapInfo_->bmiHeader, CBM_INIT, bits_, bitmapInfo_,
                                   DIB_RGB_COLORS);
  HGDIOBJ old = SelectObject(memory, deviceBitmap_);
  const COLORREF transparent = GetPixel(memory, 0, height_ - 1);
  TransparentBlt(dc, x, y, width, height, memory, sourceX, 0, sourceWidth, height_, static_cast<UINT>(transparent));
  SelectObject(memory, old);
  DeleteDC(memory);
}
