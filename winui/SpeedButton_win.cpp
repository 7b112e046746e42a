#include "winui/SpeedButton_win.h"

#include <algorithm>

#include "winui/Dpi.h"

void TSpeedButton::Click() {
  if (onClick_) onClick_(this);
}

void TSpeedButton::CreateParams(TCreateParams& params) {
  RegisterOwnClass("TavSpeedButton", CS_HREDRAW | CS_VREDRAW);
  TWinControl::CreateParams(params);
  params.ClassName = "TavSpeedButton";
  params.OwnClass = true;
  params.Style &= ~static_cast<DWORD>(WS_TABSTOP);
}

void TSpeedButton::SetHot(bool hot) {
  if (hot == hot_) return;
  hot_ = hot;
  InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TSpeedButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: {
      if (!hot_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
      }
      POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      RECT client{};
      GetClientRect(Handle(), &client);
      SetHot(PtInRect(&client, point) != FALSE);
      return 0;
    }
    case WM_MOUSELEAVE:
      SetHot(false);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      SetCapture(Handle());
      InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP: {
      const bool click = pressed_ && hot_;
      pressed_ = false;
      ReleaseCapture();
      InvalidateRect(Handle(), nullptr, TRUE);
      if (click) Click();
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(Handle(), &paint);
      PaintButton(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TSpeedButton::PaintButton(HDC dc) {
  RECT client{};
  GetClientRect(Handle(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const bool down = pressed_ && hot_;
  if (!flat_ || (hot_ && Enabled()))
    DrawEdge(dc, &client, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);

  // Glyph and caption centred as one group, 4 pixels apart; the glyph
  // scaled with the layout.
  const int sourceWidth = glyph_.Empty() ? 0 : glyph_.Width() / std::max(numGlyphs_, 1);
  const int glyphWidth = ScaleFrom96(sourceWidth);
  const int glyphHeight = ScaleFrom96(glyph_.Height());
  HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
  SIZE text{};
  GetTextExtentPoint32A(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text);
  const int spacing = glyphWidth > 0 && !caption_.empty() ? ScaleFrom96(4) : 0;
  const int shift = down ? 1 : 0;
  int x = (client.right - (glyphWidth + spacing + text.cx)) / 2 + shift;
  if (glyphWidth > 0) {
    const int image = !Enabled() && numGlyphs_ > 1 ? 1 : 0;
    glyph_.DrawTransparent(dc, x, (client.bottom - glyphHeight) / 2 + shift, glyphWidth, glyphHeight,
                           image * sourceWidth, sourceWidth);
    x += glyphWidth + spacing;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  TextOutA(dc, x, (client.bottom - text.cy) / 2 + shift, caption_.c_str(), static_cast<int>(caption_.size()));
  SelectObject(dc, oldFont);
}

void TSpeedButton::DeclareProperties(PropertyTable& table) {
  TWinControl::DeclareProperties(table);
  DeclareCaption(table);
  table.Boolean("Flat", [this] { return flat_; }, [this](bool v) { flat_ = v; });
  table.StoredWhen([this] { return flat_; });
  table.Binary("Glyph.Data", [this] { return glyph_.Data(); },
               [this](std::span<const std::uint8_t> v) { glyph_.SetData(v); });
  table.StoredWhen([this] { return !glyph_.Empty(); });
  table.Integer("NumGlyphs", [this] { return numGlyphs_; },
                [this](std::int32_t v) { numGlyphs_ = std::clamp(v, 1, 4); });
  table.StoredWhen([this] { return numGlyphs_ != 1; });
  table.Event<TNotifyEvent>("OnClick", [this](const TNotifyEvent& h) { onClick_ = h; });
}
