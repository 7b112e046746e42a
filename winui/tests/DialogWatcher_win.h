// Finds the dialog boxes (message boxes, the folder chooser) that the code
// under test opens on the test's own thread, reads them and presses one of
// their buttons, from a second thread, as a user would.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenDialog {
  std::string Caption;
  std::string Text;  // the texts of its static controls, joined by "\n"
};

class DialogWatcher {
 public:
  // Presses button (IDOK, IDCANCEL) on each of the next `count` dialogs of
  // this process, waiting pressDelayMs after finding one (a dialog that
  // fills itself in after it appears).
  explicit DialogWatcher(int button = IDOK, int count = 1, int pressDelayMs = 0);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  // The dialogs seen so far.
  std::vector<SeenDialog> Seen();
  // Waits (at most 20 s) until `count` dialogs were seen and pressed.
  std::vector<SeenDialog> Wait();

 private:
  void Watch();

  int button_;
  int count_;
  int pressDelayMs_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<SeenDialog> seen_;
  std::vector<HWND> pressed_;
  std::thread thread_;
};

// Runs the test thread's messages until done() or timeoutMs passed.
template <class Condition>
bool PumpUntil(Condition done, int timeoutMs = 10000) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  MSG message{};
  while (!done()) {
    if (GetTickCount64() > end) return false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  }
  return true;
}
