#include "winui/GraphicControls_win.h"

#include "winui/Dpi.h"

namespace {

constexpr UINT kLabelFormat = DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX;

}  // namespace

// --- TLabel ---

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || Loading()) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  RECT text{0, 0, 0, 0};
  // An empty caption still measures one line, as a label shows one.
  const std::string measured = caption_.empty() ? std::string(" ") : caption_;
  DrawTextA(dc, measured.c_str(), static_cast<int>(measured.size()), &text, kLabelFormat | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  SetBounds(Left(), Top(), caption_.empty() ? 0 : text.right, text.bottom);
}

void TLabel::Paint(HDC dc) {
  RECT bounds = BoundsRect();
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &bounds, kLabelFormat);
  SelectObject(dc, old);
}

void TLabel::DeclareProperties(PropertyTable& table) {
  TControl::DeclareProperties(table);
  DeclareCaption(table);
  table.Boolean("AutoSize", [this] { return autoSize_; }, [this](bool v) { SetAutoSize(v); });
  table.StoredWhen([this] { return !autoSize_; });
}

// --- TBevel ---

void TBevel::Paint(HDC dc) {
  RECT bounds = BoundsRect();
  const UINT edge = style_ == TBevelStyle::bsLowered ? EDGE_ETCHED : EDGE_BUMP;
  switch (shape_) {
    case TBevelShape::bsBox:
      DrawEdge(dc, &bounds, style_ == TBevelStyle::bsLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      break;
    case TBevelShape::bsFrame:
      DrawEdge(dc, &bounds, edge, BF_RECT);
      break;
    case TBevelShape::bsBottomLine:
      DrawEdge(dc, &bounds, edge, BF_BOTTOM);
      break;
  }
}

void TBevel::DeclareProperties(PropertyTable& table) {
  TControl::DeclareProperties(table);
  table.Enum("Shape", {"bsBox", "bsFrame", "bsBottomLine"}, [this] { return static_cast<std::int32_t>(shape_); },
             [this](std::int32_t v) { shape_ = static_cast<TBevelShape>(v); });
  table.Enum("Style", {"bsLowered", "bsRaised"}, [this] { return static_cast<std::int32_t>(style_); },
             [this](std::int32_t v) { style_ = static_cast<TBevelStyle>(v); });
}

// --- TImage ---

int TImage::DrawnWidth() const { return ScaleFrom96(picture_.Width()); }
int TImage::DrawnHeight() const { return ScaleFrom96(picture_.Height()); }

void TImage::AdjustBounds() {
  if (autoSize_ && !picture_.Empty()) SetBounds(Left(), Top(), DrawnWidth(), DrawnHeight());
}

void TImage::Paint(HDC dc) { picture_.Draw(dc, Left(), Top(), DrawnWidth(), DrawnHeight()); }

void TImage::DeclareProperties(PropertyTable& table) {
  TControl::DeclareProperties(table);
  table.Boolean("AutoSize", [this] { return autoSize_; },
                [this](bool v) {
                  autoSize_ = v;
                  AdjustBounds();
                });
  table.StoredWhen([this] { return autoSize_; });
  table.Binary("Picture.Data", [this] { return picture_.Data(); },
               [this](std::span<const std::uint8_t> v) {
                 picture_.SetData(v);
                 AdjustBounds();
                 Invalidate();
               });
  table.StoredWhen([this] { return !picture_.Empty(); });
}
