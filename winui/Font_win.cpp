#include "winui/Font_win.h"

#include "winui/Dpi.h"

TFont::TFont(const TFont& other)
    : Name(other.Name), Height(other.Height), Style(other.Style), Charset(other.Charset) {}

TFont& TFont::operator=(const TFont& other) {
  if (this != &other) {
    Name = other.Name;
    Height = other.Height;
    Style = other.Style;
    Charset = other.Charset;
    Changed();
  }
  return *this;
}

TFont::~TFont() { Changed(); }

void TFont::Changed() {
  if (handle_ != nullptr) DeleteObject(handle_);
  handle_ = nullptr;
}

HFONT TFont::Handle() const {
  if (handle_ != nullptr && handleDpi_ != DisplayDpi()) {
    DeleteObject(handle_);
    handle_ = nullptr;
  }
  if (handle_ == nullptr) {
    handleDpi_ = DisplayDpi();
    handle_ = CreateFontA(ScaleFrom96(Height), 0, 0, 0, (Style & fsBold) ? FW_BOLD : FW_NORMAL,
                          (Style & fsItalic) ? TRUE : FALSE, (Style & fsUnderline) ? TRUE : FALSE,
                          (Style & fsStrikeOut) ? TRUE : FALSE, static_cast<BYTE>(Charset),
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, Name.c_str());
  }
  return handle_;
}
