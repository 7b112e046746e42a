#include "winui/tests/DialogWatcher_win.h"

#include <algorithm>
#include <chrono>

#include "testsupport/TopLevelWindow_win.h"

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM target) {
  auto* text = reinterpret_cast<std::string*>(target);
  if (ClassNameOf(child) == "Static") {
    const std::string part = WindowTextOf(child);
    if (!part.empty()) *text += (text->empty() ? "" : "\n") + part;
  }
  return TRUE;
}

BOOL CALLBACK CollectDialogs(HWND window, LPARAM target) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && ClassNameOf(window) == "#32770")
    reinterpret_cast<std::vector<HWND>*>(target)->push_back(window);
  return TRUE;
}

}  // namespace

DialogWatcher::DialogWatcher(int button, int count, int pressDelayMs)
    : button_(button), count_(count), pressDelayMs_(pressDelayMs), thread_([this] { Watch(); }) {}

DialogWatcher::~DialogWatcher() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void DialogWatcher::Watch() {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!stop_ && std::chrono::steady_clock::now() < end) {
    std::vector<HWND> dialogs;
    EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND dialog : dialogs) {
      if (std::find(pressed_.begin(), pressed_.end(), dialog) != pressed_.end()) continue;
      if (pressDelayMs_ > 0) Sleep(static_cast<DWORD>(pressDelayMs_));
      SeenDialog seen{WindowTextOf(dialog), {}};
      EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&seen.Text));
      pressed_.push_back(dialog);
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, button_)));
      std::lock_guard lock(mutex_);
      seen_.push_back(seen);
    }
    {
      std::lock_guard lock(mutex_);
      if (static_cast<int>(seen_.size()) >= count_) return;
    }
    Sleep(20);
  }
}

std::vector<SeenDialog> DialogWatcher::Seen() {
  std::lock_guard lock(mutex_);
  return seen_;
}

std::vector<SeenDialog> DialogWatcher::Wait() {
  if (thread_.joinable()) thread_.join();
  return Seen();
}
