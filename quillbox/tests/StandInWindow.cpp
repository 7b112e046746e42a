#include "quillbox/tests/StandInWindow.h"

#include "quillbox/WindowText.h"
#include "testsupport/TopLevelWindow_win.h"

namespace {

constexpr DWORD kWaitMs = 15000;
HWND FindStandInWindow(HANDLE process) {
  // Shown only once it is complete, with its text control.
  return WaitForTopLevelWindow({GetProcessId(process), kQuillboxTitle, nullptr}, kWaitMs, process);
}

}  // namespace

std::string WaitForStandInText(HANDLE process) {
  HWND window = FindStandInWindow(process);
  if (window == nullptr) return {};
  HWND label = FindWindowExA(window, nullptr, "Static", nullptr);
  if (label == nullptr) return {};
  // Another process's control: WM_GETTEXT is carried across, GetWindowText would not ask it.
  char text[2048] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(label, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kWaitMs,
                      &ignored);
  return text;
}

bool CloseStandIn(HANDLE process) {
  HWND window = FindStandInWindow(process);
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  return WaitForSingleObject(process, kWaitMs) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &exitCode) &&
         exitCode == 0;
}
