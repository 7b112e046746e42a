#include "testsupport/TopLevelWindow_win.h"

namespace {

constexpr DWORD kPollMs = 20;

struct Search {
  const TopLevelWindowQuery* query;
  HWND found;
};

bool TextIs(const char* expected, const std::string& actual) { return expected == nullptr || actual == expected; }

BOOL CALLBACK Match(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  const TopLevelWindowQuery& query = *search->query;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if ((query.processId == 0 || owner == query.processId) && IsWindowVisible(window) &&
      TextIs(query.caption, WindowTextOf(window)) && TextIs(query.className, ClassNameOf(window))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::string WindowTextOf(HWND window) {
  char text[2048] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassNameOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

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
