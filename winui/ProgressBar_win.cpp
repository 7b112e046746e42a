#include "winui/ProgressBar_win.h"

#include <commctrl.h>

void TProgressBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = PROGRESS_CLASSA;
}

void TProgressBar::HandleCreated() {
  SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetPosition(int position) {
  position_ = position;
  if (!HandleAllocated()) return;
  // With visual styles the bar glides forward on timer messages, which a
  // long action on the one thread never lets run; going back is drawn at
  // once. So it is set one past the value, then back to it (at the top, in
  // a range stretched by one for the moment).
  const bool top = position >= max_;
  if (top) SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_ + 1));
  SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position + 1), 0);
  SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
  if (top) SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  UpdateWindow(Handle());
}

void TProgressBar::DeclareProperties(PropertyTable& table) {
  TWinControl::DeclareProperties(table);
  table.Integer("Min", [this] { return min_; }, [this](std::int32_t v) { min_ = v; });
  table.Integer("Max", [this] { return max_; }, [this](std::int32_t v) { max_ = v; });
  table.Integer("Position", [this] { return position_; }, [this](std::int32_t v) { SetPosition(v); });
  table.StoredWhen([this] { return position_ != 0; });
}
