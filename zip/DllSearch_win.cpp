// Narrowing the library search order at program start.
#include "zip/DllSearch.h"

#include <windows.h>

namespace {
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD directoryFlags);
}  // namespace

bool RestrictDllSearch() {
  // Looked up rather than linked: Windows 7 without KB2533623 lacks it.
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories != nullptr &&
      setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS)) {
    return true;
  }
  SetDllDirectoryA("");
  return false;
}
