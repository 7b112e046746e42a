#include "winui/Buttons_win.h"

// --- TButton ---

TButton::TButton(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

void TButton::Click() {
  if (onClick_) onClick_(this);
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "BUTTON";
  params.Style |= BS_PUSHBUTTON;
}

LRESULT TButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Outside a dialog a button ignores Enter; here Enter presses the focused
  // button (and only that one).
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    Click();
    return 0;
  }
  if (message == WM_CHAR && wParam == '\r') return 0;
  return TWinControl::WndProc(message, wParam, lParam);
}

void TButton::CommandNotify(WORD code) {
  if (code == BN_CLICKED) Click();
}

void TButton::DeclareProperties(PropertyTable& table) {
  TWinControl::DeclareProperties(table);
  DeclareCaption(table);
  table.Event<TNotifyEvent>("OnClick", [this](const TNotifyEvent& h) { onClick_ = h; });
}

// --- TCheckBox ---

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

bool TCheckBox::Checked() const {
  if (HandleAllocated()) return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TCheckBox::SetChecked(bool checked) {
  checked_ = checked;
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "BUTTON";
  params.Style |= BS_AUTOCHECKBOX;
}

void TCheckBox::HandleCreated() { SetChecked(checked_); }

void TCheckBox::CommandNotify(WORD code) {
  if (code != BN_CLICKED) return;
  checked_ = Checked();
  if (onClick_) onClick_(this);
}

void TCheckBox::DeclareProperties(PropertyTable& table) {
  TWinControl::DeclareProperties(table);
  DeclareCaption(table);
  table.Boolean("Checked", [this] { return Checked(); }, [this](bool v) { SetChecked(v); });
  table.StoredWhen([this] { return Checked(); });
  table.Event<TNotifyEvent>("OnClick", [this](const TNotifyEvent& h) { onClick_ = h; });
}
