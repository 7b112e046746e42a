#include "winui/Screen_win.h"

TScreen Screen;

void TScreen::SetCursor(TCursor cursor) {
  SetCursorOverride(cursor);
  if (cursor != TCursor::crDefault) {
    ::SetCursor(CursorHandle(cursor));
    return;
  }
  // Back to each control's own cursor: ask the window under the mouse, as
  // the next mouse move would, instead of waiting for that move.
  ::SetCursor(CursorHandle(TCursor::crArrow));
  POINT position{};
  if (!GetCursorPos(&position)) return;
  HWND window = WindowFromPoint(position);
  if (window == nullptr || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return;
  const LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(position.x, position.y));
  SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
               MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}
