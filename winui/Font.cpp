#include "winui/Font.h"

#include "base/Exception.h"
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

void DeclareFontProperties(PropertyTable& table, const std::function<TFont&()>& font,
                           const std::function<const TFont&()>& current,
                           const std::function<void()>& changed) {
  table.String(
      "Font.Name", [current] { return current().Name; },
      [font, changed](const std::string& name) {
        font().Name = name;
        font().Changed();
        changed();
      });
  table.Integer(
      "Font.Height", [current] { return current().Height; },
      [font, changed](std::int32_t height) {
        font().Height = height;
        font().Changed();
        changed();
      });
  table.Set(
      "Font.Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
      [current] { return current().Style; },
      [font, changed](std::int32_t style) {
        font().Style = style;
        font().Changed();
        changed();
      });
  table.Integer(
      "Font.Charset", [current] { return current().Charset; },
      [font, changed](std::int32_t charset) {
        if (charset < 0 || charset > 255) throw Exception("Font.Charset must lie in 0..255");
        font().Charset = charset;
        font().Changed();
        changed();
      });
}
