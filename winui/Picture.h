// A picture as a description stores it: the bytes of an icon file (.ico) or
// of a bitmap file (.bmp, uncompressed), drawn unscaled. The bytes are
// checked when they are set; malformed data is an error, never read past.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

class TPicture {
 public:
  TPicture() = default;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;
  ~TPicture();

  // Takes the file's bytes (empty clears the picture). Throws Exception
  // "Invalid picture data: ..." for anything but a well-formed icon with an
  // image of 32 or 16 pixels, or an uncompressed bitmap of 1 to 32 bits.
  void SetData(std::span<const std::uint8_t> bytes);
  const std::vector<std::uint8_t>& Data() const { return data_; }
  bool Empty() const { return data_.empty(); }

  // Size of the picture drawn by Draw: the icon's 32-pixel image (its first
  // image when it has none of that size) or the bitmap.
  int Width() const { return width_; }
  int Height() const { return height_; }

  void Draw(HDC dc, int x, int y) const;
  // Draws the part of a bitmap starting at column sourceX, width wide, with
  // the colour of the bitmap's bottom-left pixel left transparent (button
  // glyphs keep the face colour around them).
  void DrawTransparent(HDC dc, int x, int y, int sourceX, int width) const;

  // A new icon of the given size from an icon picture (the caller destroys
  // it), or null for a bitmap or an empty picture.
  HICON CreateIcon(int size) const;

 private:
  struct IconImage {
    std::size_t offset = 0;
    std::size_t size = 0;
    int width = 0;
  };
  void ParseIcon();
  void ParseBitmap();
  const IconImage* FindIconImage(int size) const;
  void Clear();

  std::vector<std::uint8_t> data_;
  std::vector<IconImage> icons_;
  HICON icon_ = nullptr;
  const BITMAPINFO* bitmapInfo_ = nullptr;
  const std::uint8_t* bits_ = nullptr;
  mutable HBITMAP deviceBitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
