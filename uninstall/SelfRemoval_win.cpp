// The uninstaller's temporary copy: made, started, waited on, and scheduled
// for deletion.
#include "uninstall/SelfRemoval_win.h"

#include <windows.h>

#include <vector>

namespace {

// Long enough for any original to reach its exit once it started the copy.
constexpr DWORD kOriginalEndTimeoutMs = 60000;

std::string TemporaryFolder() {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof folder, folder);
  return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

std::string TemporaryCopyPath(const std::string& folder) {
  char name[32] = {};
  wsprintfA(name, "~tavuninst%lx.exe", static_cast<unsigned long>(GetCurrentProcessId()));
  return folder + name;
}

// A handle to this process that the copy inherits and can wait on.
HANDLE InheritableHandleToThisProcess() {
  HANDLE handle = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &handle, SYNCHRONIZE,
                       TRUE, 0)) {
    return nullptr;
  }
  return handle;
}

bool Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder) {
  std::string commandLine = JoinCommandLine({program}) + " " + JoinCommandLine(arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

std::string ThisProgramPath() {
  std::vector<char> path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

bool StartTemporaryCopy(UninstallArguments arguments) {
  const std::string folder = TemporaryFolder();
  if (folder.empty()) return false;
  const std::string copy = TemporaryCopyPath(folder);
  arguments.original = ThisProgramPath();
  if (!CopyFileA(arguments.original.c_str(), copy.c_str(), FALSE)) return false;
  HANDLE self = InheritableHandleToThisProcess();
  arguments.originalProcess = reinterpret_cast<std::uintptr_t>(self);
  const bool started = self != nullptr && Start(copy, TemporaryCopyArguments(arguments), folder);
  if (self != nullptr) CloseHandle(self);
  if (!started) DeleteFileA(copy.c_str());
  return started;
}

void WaitForOriginalToEnd(std::uint64_t processHandle) {
  HANDLE original = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(processHandle));
  WaitForSingleObject(original, kOriginalEndTimeoutMs);
  CloseHandle(original);
}

void ScheduleRemovalOfThisProgram() {
  MoveFileExA(ThisProgramPath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
