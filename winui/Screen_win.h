// The process-wide cursor override. While it is anything but crDefault every
// window of the program shows it; setting it takes effect at once, also when
// no messages are processed afterwards (a long action on the one thread).
#pragma once

#include "winui/Control_win.h"

class TScreen {
 public:
  TCursor Cursor() const { return CursorOverride(); }
  void SetCursor(TCursor cursor);
};

extern TScreen Screen;

// The busy cursor for as long as it lives, and the default cursor after it,
// however the scope is left (an action that raises must not leave the
// hourglass behind).
class TBusyCursor {
 public:
  TBusyCursor() { Screen.SetCursor(TCursor::crHourGlass); }
  ~TBusyCursor() { Screen.SetCursor(TCursor::crDefault); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};
