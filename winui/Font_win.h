// Fonts by face, height, weight (bold or regular) and character set, as the
// descriptions set them through "Font.Name", "Font.Height", "Font.Style" and
// "Font.Charset".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

enum TFontStyle : std::int32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TFont {
 public:
  TFont() = default;
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);
  ~TFont();

  // Height as stored, in pixels at 96 dpi: negative for the character height
  // (-11 is "character height 11"), positive for the cell height.
  std::string Name = "MS Sans Serif";
  std::int32_t Height = -11;
  std::int32_t Style = 0;  // TFontStyle bits
  std::int32_t Charset = DEFAULT_CHARSET;

  // The GDI font, made on first use at the display's resolution (again when
  // that changed); after changing a field, Changed() makes the next call
  // create it afresh.
  HFONT Handle() const;
  void Changed();

 private:
  mutable HFONT handle_ = nullptr;
  mutable int handleDpi_ = 0;
};
