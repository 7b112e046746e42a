// A picture as a description stores it: the bytes of an icon file (.ico) or
// of a bitmap file (.bmp, uncompressed), drawn at any size: an icon from the
// image the file holds nearest that size, a bitmap stretched with the
// system's smoothing filter. The bytes are checked when they are set
// (PictureFile.h); malformed data is an error, never read past.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "winui/PictureFile.h"

class TPicture {
 public:
  TPicture() = default;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;
  ~TPicture();

  // Takes the file's bytes, or one PMCS10 container of them
  // (filestore/PackedBytes.h); empty clears the picture. Throws Exception
  // "Invalid picture data: ..." for anything but a well-formed icon with an
  // image of 32 or 16 pixels, or an uncompressed bitmap of 1 to 32 bits, and
  // the container's errors for a damaged one.
  void SetData(std::span<const std::uint8_t> bytes);
  const std::vector<std::uint8_t>& Data() const { return data_; }
  bool Empty() const { return data_.empty(); }

  // The picture's own size: the icon's 32-pixel image (the one nearest that
  // size when it has none) or the bitmap.
  int Width() const { return file_.width; }
  int Height() const { return file_.height; }

  // Draws the picture into the width x height rectangle at x, y.
  void Draw(HDC dc, int x, int y, int width, int height) const;
  // Draws the part of a bitmap starting at column sourceX, sourceWidth wide,
  // into the width x height rectangle at x, y, with the colour of the
  // bitmap's bottom-left pixel left transparent (button glyphs keep the face
  // colour around them). Stretched pixel for pixel: smoothing would blend
  // the transparent colour into the glyph's edges.
  void DrawTransparent(HDC dc, int x, int y, int width, int height, int sourceX, int sourceWidth) const;

  // A new icon of the given size from the icon image nearest that size (the
  // caller destroys it), or null for a bitmap or an empty picture.
  HICON CreateIcon(int size) const;

 private:
  void Clear();

  std::vector<std::uint8_t> data_;
  PictureFile file_;
  mutable HICON icon_ = nullptr;  // made at iconSize_ for Draw
  mutable int iconSize_ = 0;
  const BITMAPINFO* bitmapInfo_ = nullptr;
  const std::uint8_t* bits_ = nullptr;
  mutable HBITMAP deviceBitmap_ = nullptr;
};
