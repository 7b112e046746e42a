#include "winui/Edits_win.h"

namespace {

int SystemColor(TEditColor color) {
  switch (color) {
    case TEditColor::clBtnFace:
      return COLOR_BTNFACE;
    case TEditColor::clInfoBk:
      return COLOR_INFOBK;
    case TEditColor::clWindow:
      break;
  }
  return COLOR_WINDOW;
}

}  // namespace

// --- TCustomEdit ---

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "EDIT";
  params.Style |= ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::HandleCreated() {
  // No length limit: 0 lifts the system's default of 32,767 characters.
  SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

LRESULT TCustomEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Enter and Escape mean nothing in an edit field here: no default button
  // to press, no dialog to close, and no beep either.
  if (message == WM_CHAR && (wParam == '\r' || wParam == 0x1B)) return 0;
  return TWinControl::WndProc(message, wParam, lParam);
}

HBRUSH TCustomEdit::ControlColor(HDC dc) {
  if (color_ == TEditColor::clWindow) return nullptr;
  SetBkColor(dc, GetSysColor(SystemColor(color_)));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return GetSysColorBrush(SystemColor(color_));
}

void TCustomEdit::DeclareProperties(PropertyTable& table) {
  TWinControl::DeclareProperties(table);
  table.Boolean("ReadOnly", [this] { return readOnly_; }, [this](bool v) { readOnly_ = v; });
  table.StoredWhen([this] { return readOnly_; });
  table.Enum("Color", {"clWindow", "clBtnFace", "clInfoBk"}, [this] { return static_cast<std::int32_t>(color_); },
             [this](std::int32_t v) { color_ = static_cast<TEditColor>(v); });
  table.StoredWhen([this] { return color_ != TEditColor::clWindow; });
}

void TEdit::DeclareProperties(PropertyTable& table) {
  TCustomEdit::DeclareProperties(table);
  table.String("Text", [this] { return Text(); }, [this](const std::string& v) { SetText(v); });
  table.StoredWhen([this] { return !Text().empty(); });
}

// --- TMemo ---

void TMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (wordWrap_) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) params.Style |= WS_HSCROLL;
  if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) params.Style |= WS_VSCROLL;
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  const std::string text = Text();
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  SetText(text);
}

void TMemo::DeclareProperties(PropertyTable& table) {
  TCustomEdit::DeclareProperties(table);
  table.Enum("ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"},
             [this] { return static_cast<std::int32_t>(scrollBars_); },
             [this](std::int32_t v) { scrollBars_ = static_cast<TScrollStyle>(v); });
  table.StoredWhen([this] { return scrollBars_ != TScrollStyle::ssNone; });
  table.Boolean("WordWrap", [this] { return wordWrap_; }, [this](bool v) { wordWrap_ = v; });
  table.StoredWhen([this] { return !wordWrap_; });
  table.Strings("Lines", [this] { return Lines(); }, [this](const std::vector<std::string>& v) { SetLines(v); });
}
