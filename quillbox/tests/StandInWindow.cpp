#include "quillbox/tests/StandInWindow.h"

#include "quillbox/WindowText.h"

namespace {

constexpr DWORD kWaitMs = 15000;
constexpr DWORD kPollMs = 50;

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  // Shown only once it is complete, with its text control.
  if (owner == search->processId && IsWindowVisible(window) && std::string(title) == kQuillboxTitle) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindStandInWindow(HANDLE process) {
  for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
    Search search{GetProcessId(process), nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (WaitForSingleObject(process, kPollMs) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
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
