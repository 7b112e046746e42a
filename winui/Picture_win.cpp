// Pictures drawn through the system: icons made from their files' images,
// bitmaps set to the device or stretched.
#include "winui/Picture_win.h"

#include "base/Exception.h"
#include "filestore/PackedBytes.h"

TPicture::~TPicture() { Clear(); }

void TPicture::Clear() {
  if (icon_ != nullptr) DestroyIcon(icon_);
  if (deviceBitmap_ != nullptr) DeleteObject(deviceBitmap_);
  icon_ = nullptr;
  iconSize_ = 0;
  deviceBitmap_ = nullptr;
  bitmapInfo_ = nullptr;
  bits_ = nullptr;
  file_ = {};
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
    file_ = ReadPictureFile(data_);
    if (file_.icons.empty()) {
      bitmapInfo_ = reinterpret_cast<const BITMAPINFO*>(data_.data() + PictureFile::kBitmapInfoOffset);
      bits_ = data_.data() + file_.bitsOffset;
    } else {
      icon_ = CreateIcon(file_.width);
      if (icon_ == nullptr) throw Exception("Invalid picture data: icon image the system cannot read");
      iconSize_ = file_.width;
    }
  } catch (...) {
    Clear();
    throw;
  }
}

HICON TPicture::CreateIcon(int size) const {
  const IconImage* image = NearestIconImage(file_.icons, size);
  if (image == nullptr) return nullptr;
  auto* bits = const_cast<PBYTE>(data_.data() + image->offset);  // the API takes a non-const pointer it only reads
  return CreateIconFromResourceEx(bits, static_cast<DWORD>(image->size), TRUE, 0x00030000, size, size,
                                  LR_DEFAULTCOLOR);
}

void TPicture::Draw(HDC dc, int x, int y, int width, int height) const {
  if (width <= 0 || height <= 0) return;
  if (!file_.icons.empty()) {
    if (iconSize_ != width) {
      if (HICON sized = CreateIcon(width)) {
        DestroyIcon(icon_);
        icon_ = sized;
        iconSize_ = width;
      }
    }
    DrawIconEx(dc, x, y, icon_, width, height, 0, nullptr, DI_NORMAL);
  } else if (bitmapInfo_ != nullptr && width == file_.width && height == file_.height) {
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(file_.width), static_cast<DWORD>(file_.height), 0, 0, 0,
                      static_cast<UINT>(file_.height), bits_, bitmapInfo_, DIB_RGB_COLORS);
  } else if (bitmapInfo_ != nullptr) {
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // as HALFTONE requires
    StretchDIBits(dc, x, y, width, height, 0, 0, file_.width, file_.height, bits_, bitmapInfo_, DIB_RGB_COLORS,
                  SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
  }
}

void TPicture::DrawTransparent(HDC dc, int x, int y, int width, int height, int sourceX, int sourceWidth) const {
  if (bitmapInfo_ == nullptr || sourceX < 0 || sourceWidth <= 0 || sourceX + sourceWidth > file_.width ||
      width <= 0 || height <= 0)
    return;
  HDC memory = CreateCompatibleDC(dc);
  if (deviceBitmap_ == nullptr)
    deviceBitmap_ = CreateDIBitmap(dc, &bitmapInfo_->bmiHeader, CBM_INIT, bits_, bitmapInfo_,
                                   DIB_RGB_COLORS);
  HGDIOBJ old = SelectObject(memory, deviceBitmap_);
  const COLORREF transparent = GetPixel(memory, 0, file_.height - 1);
  TransparentBlt(dc, x, y, width, height, memory, sourceX, 0, sourceWidth, file_.height,
                 static_cast<UINT>(transparent));
  SelectObject(memory, old);
  DeleteDC(memory);
}
