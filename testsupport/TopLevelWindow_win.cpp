#include "testsupport/TopLevelWindow_win.h"

#include <cstring>

namespace {

constexpr DWORD kPollMs = 20;

struct Search {
  const TopLevelWindowQuery* query;
  HWND found;
};

bool TextIs(HWND window, const char* expected, int(WINAPI* read)(HWND, LPSTR, int)) {
  if (expected == nullptr) return true;
  char text[256] = {};
  read(window, text, sizeof text);
  return std::strcmp(text, expected) == 0;
}

BOOL CALLBACK Match(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  const TopLevelWindowQuery& query = *search->query;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if ((query.processId == 0 || owner == query.processId) && IsWindowVisible(window) &&
      TextIs(window, query.caption, GetWindowTextA) && TextIs(window, query.className, GetClassNameA)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindTopLevelWindow(const TopLevelWindowQuery& query) {
  Search search{&query, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevelWindow(const TopLevelWindowQuery& query, DWORD timeoutMs, HANDLE process) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (HWND found = FindTopLevelWindow(query)) return found;
    if (process != nullptr) {
      if (WaitForSingleObject(process, kPollMs) == WAIT_OBJECT_0) return nullptr;
    } else {
      Sleep(kPollMs);
    }
  }
  return nullptr;
}
