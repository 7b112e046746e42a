#include "setup/ProgramCheck_win.h"

#include <windows.h>

#include <imagehlp.h>

#include <string>
#include <vector>

#include "base/Exception.h"

namespace {

[[noreturn]] void CannotCheck(const char* why) {
  throw Exception(std::string("The setup program cannot check its own file (") + why + ")");
}

}  // namespace

void CheckProgramFile() {
  // Wide calls: a path the ANSI code page cannot spell is still found.
  std::vector<wchar_t> path(32768);
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) CannotCheck("no path");
  // Loaded by name only after the library search was narrowed to the
  // system's folder, so no imagehlp.dll planted beside the program answers.
  HMODULE imagehlp = LoadLibraryA("imagehlp.dll");
  const auto check = imagehlp != nullptr ? reinterpret_cast<decltype(&MapFileAndCheckSumW)>(
                                               reinterpret_cast<void*>(GetProcAddress(imagehlp, "MapFileAndCheckSumW")))
                                         : nullptr;
  if (check == nullptr) {
    if (imagehlp != nullptr) FreeLibrary(imagehlp);
    CannotCheck("imagehlp.dll");
  }
  DWORD stored = 0;
  DWORD computed = 0;
  const DWORD result = check(path.data(), &stored, &computed);
  FreeLibrary(imagehlp);
  if (result != CHECKSUM_SUCCESS) CannotCheck("the file cannot be read");
  if (stored == 0 || stored != computed) throw Exception(kDamagedProgram);
}
