#include "uninstall/tests/Installation_win.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "sysint/InstallLayout.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "testsupport/TopLevelWindow_win.h"
#include "uninstall/tests/BuildPaths.h"

namespace {

Win32System windows;

constexpr const char* kPendingKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingValue = "PendingFileRenameOperations";

// The paths in the list of files Windows deletes or renames when it next starts.
std::vector<std::string> PendingOperations() {
  HKEY key = nullptr;
  std::vector<std::string> entries;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPendingKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return entries;
  DWORD size = 0;
  DWORD type = 0;
  if (RegQueryValueExA(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<char> data(size + 2, '\0');
    RegQueryValueExA(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    for (const char* entry = data.data(); entry < data.data() + size; entry += std::strlen(entry) + 1) {
      std::string path = entry;
      if (path.rfind("\\??\\", 0) == 0) path.erase(0, 4);
      if (!path.empty()) entries.push_back(path);
    }
  }
  RegCloseKey(key);
  return entries;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& start) {
  return text.size() >= start.size() &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), static_cast<int>(start.size()),
                        start.c_str(), static_cast<int>(start.size())) == CSTR_EQUAL;
}

BOOL CALLBACK CollectText(HWND control, LPARAM lParam) {
  char text[2048] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kWaitMs,
                      &ignored);
  *reinterpret_cast<std::string*>(lParam) += std::string(text) + "\n";
  return TRUE;
}

}  // namespace

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string ControlTexts(HWND window) {
  std::string texts;
  EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

HWND WaitForBox(DWORD processId, DWORD timeoutMs) {
  return WaitForTopLevelWindow({processId, kUninstallCaption, nullptr}, timeoutMs);
}

void PressAndWait(HWND box, int button) {
  DWORD processId = 0;
  GetWindowThreadProcessId(box, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
  if (process != nullptr) {
    EXPECT_EQ(WaitForSingleObject(process, kWaitMs), WAIT_OBJECT_0);
    CloseHandle(process);
  }
}

HWND AnswerYesForReport(const PROCESS_INFORMATION& process) {
  HWND question = WaitForBox(process.dwProcessId);
  if (question == nullptr) return nullptr;
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  // Windows' list of programs waits for the program it started; the work
  // goes on in the temporary copy, which shows the report.
  const bool ended = WaitForSingleObject(process.hProcess, kWaitMs) == WAIT_OBJECT_0;
  CloseHandle(process.hProcess);
  return ended ? WaitForBox(0) : nullptr;
}

void Installation::SetUp() {
  static int serial = 0;
  const std::string unique = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
  folder_ = TemporaryFolder() + "tav uninstall " + unique;
  report_ = TemporaryFolder() + "tav uninstall report " + unique + ".txt";
  programsLink_ = ShortcutFile(GetShellFolder(windows, "Programs"));
  desktopLink_ = ShortcutFile(GetShellFolder(windows, "Desktop"));
  pendingBefore_ = PendingOperations();
  ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
  PutInstalledFiles(folder_);
}

void Installation::TearDown() {
  ForgetTemporaryCopies();
  for (const char* name : kInstalledFiles) DeleteFileA(InFolder(name).c_str());
  for (const std::string& file : extraFiles_) DeleteFileA(file.c_str());
  RemoveDirectoryA(folder_.c_str());
  DeleteFileA(report_.c_str());
  RemoveRegistration();
}

void Installation::PutInstalledFiles(const std::string& folder) {
  ASSERT_TRUE(CopyFileA(kBuiltUninstaller, (folder + "\\uninstall.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(kBuiltQuillbox, (folder + "\\TAV Quillbox.exe").c_str(), FALSE));
  for (const char* name : {"zipdll.dll", "unzdll.dll", "ReadMe.txt"}) WriteFile(folder + "\\" + name, name);
}

std::string Installation::UserFile(const std::string& name) {
  const std::string path = InFolder(name);
  WriteFile(path, "the user's own");
  extraFiles_.push_back(path);
  return path;
}

PROCESS_INFORMATION Installation::Start(const std::string& arguments, DWORD flags, bool inheritHandles,
                                        const std::string& program) {
  const std::string path = program.empty() ? InFolder("uninstall.exe") : program;
  std::string commandLine = "\"" + path + "\"" + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, inheritHandles, flags, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "cannot start " << path << ": error " << GetLastError();
    return {};
  }
  // A suspended program is the caller's to resume.
  if ((flags & CREATE_SUSPENDED) == 0) CloseHandle(process.hThread);
  return process;
}

SilentRun Installation::RunSilently(const std::string& arguments, const std::string& program) {
  DeleteFileA(report_.c_str());
  return Finish(Start(" /S \"/REPORT=" + report_ + "\"" + arguments, 0, false, program));
}

SilentRun Installation::Finish(const PROCESS_INFORMATION& process, bool silent) {
  SilentRun run;
  if (process.hProcess == nullptr) return run;
  if (WaitForSingleObject(process.hProcess, kWaitMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the uninstaller did not end; a box of it: " << ControlTexts(WaitForBox(process.dwProcessId, 0));
    TerminateProcess(process.hProcess, 255);
    WaitForSingleObject(process.hProcess, kWaitMs);
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hProcess);
  run.reportAtExit = ReadFile(report_);
  run.report = run.reportAtExit;
  for (DWORD waited = 0; silent && waited < kWaitMs && run.report.empty(); waited += kPollMs) {
    Sleep(kPollMs);
    run.report = ReadFile(report_);
  }
  return run;
}

std::vector<std::string> Installation::TemporaryCopies() {
  std::vector<std::string> added;
  for (const std::string& entry : PendingOperations()) {
    if (std::find(pendingBefore_.begin(), pendingBefore_.end(), entry) == pendingBefore_.end() &&
        StartsWithIgnoringCase(entry, TemporaryFolder())) {
      added.push_back(entry);
    }
  }
  return added;
}

std::vector<std::string> Installation::ForgetTemporaryCopies() {
  const std::vector<std::string> added = TemporaryCopies();
  pendingBefore_ = PendingOperations();
  // Files first, then their folders: a program still running keeps its file.
  for (const std::string& entry : added) {
    const DWORD attributes = GetFileAttributesA(entry.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    for (DWORD waited = 0; waited < kWaitMs && !DeleteFileA(entry.c_str()); waited += kPollMs) Sleep(kPollMs);
  }
  for (const std::string& entry : added) RemoveDirectoryA(entry.c_str());
  return added;
}

void Installation::RemoveRegistration() {
  for (const char* key : {kAppPathsExeKey, kAppPathsKey, kUninstallKey, kProductKey}) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
  DeleteFileA(programsLink_.c_str());
  DeleteFileA(desktopLink_.c_str());
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kDocumentExtension);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kDocumentType);
}
