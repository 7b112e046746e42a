// uninstall.exe: removes TAV Quillbox from the folder it was installed into.
// Started by Windows' list of installed programs (the "UninstallString" of
// the installation's "Uninstall" entry), it makes sure the folder is one to
// remove from, asks, then hands the work to a copy of itself in a folder of
// its own under the temporary folder so that its own file can go too
// (SelfRemoval_win.h). Removal.h decides what is removed.
//
// A silent run (/S) shows nothing, not even for a wrong command line, waits
// for its copy and ends with the copy's result as exit code (Report.h).
#include <windows.h>
#include <objbase.h>

#include <exception>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "uninstall/Arguments.h"
#include "uninstall/InstalledFiles.h"
#include "uninstall/PathMatch.h"
#include "uninstall/Removal.h"
#include "uninstall/Report.h"
#include "uninstall/SelfRemoval_win.h"
#include "uninstall/System_win.h"
#include "zip/DllSearch.h"

namespace {

constexpr const char* kCaption = "TAV Quillbox Uninstall";
constexpr const char* kQuestion = "Remove TAV Quillbox and all of its components?";

std::vector<std::string> CommandLineWords() {
  std::vector<std::string> words;
  for (int i = 1; i < __argc; ++i) words.emplace_back(__argv[i]);
  return words;
}

// A silent run's report: written whole under a neighbouring name first, so
// that whoever waits for the file never reads half of it.
void WriteReportFile(const std::string& path, const std::string& text) {
  const std::string partial = path + ".part";
  {
    TFileStream file(partial, FileMode::Create);
    file.WriteBuffer(text.data(), text.size());
  }
  RenameFileReplacing(partial, path);
}

void Present(const UninstallArguments& arguments, const std::string& text, UINT icon) {
  if (!arguments.silent) {
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | icon);
    return;
  }
  if (arguments.reportPath.empty()) return;
  try {
    WriteReportFile(arguments.reportPath, text);
  } catch (const Exception&) {
    // The exit code still tells the removal's result.
  }
}

int PresentReport(const UninstallArguments& arguments, const RemovalReport& report) {
  const int exitCode = ExitCode(report);
  Present(arguments, ReportText(report), exitCode == kExitRemoved ? MB_ICONINFORMATION : MB_ICONWARNING);
  return exitCode;
}

RemovalReport RemoveFrom(const RemovalRequest& request, const std::string& setAsideFolder) {
  WindowsUninstallSystem system(setAsideFolder);
  return RemoveInstallation(system, request, kInstalledFiles);
}

// The copy: once the original has ended (when it does not wait for this
// copy), removes the installation, the original among its files, and has
// itself and its folder deleted when Windows next starts.
int RunAsTemporaryCopy(const UninstallArguments& arguments) {
  if (arguments.originalProcess != 0) WaitForOriginalToEnd(arguments.originalProcess);
  const std::string self = ThisProgramPath();
  const std::string ownFolder = FolderOfPath(self);
  const RemovalReport report =
      RemoveFrom({FolderOfPath(arguments.original), arguments.folderConfirmed, arguments.original}, ownFolder);
  RemoveAtNextStart(self);
  RemoveAtNextStart(ownFolder);
  return PresentReport(arguments, report);
}

// Without a temporary copy the work is done here; this program's file, still
// running, is set aside.
int RemoveWithoutCopy(const UninstallArguments& arguments, const RemovalRequest& request) {
  const std::string setAsideFolder = MakePrivateFolder();
  const RemovalReport report = RemoveFrom(request, setAsideFolder);
  if (!setAsideFolder.empty()) RemoveAtNextStart(setAsideFolder);
  return PresentReport(arguments, report);
}

int RunAsOriginal(UninstallArguments arguments) {
  const std::string self = ThisProgramPath();
  const RemovalRequest request{FolderOfPath(self), false, self};
  FolderCheck check;
  {
    WindowsUninstallSystem system({});
    check = CheckFolder(system, request.folder);
    // A silent run has no one to confirm a folder that no entry names.
    if (check.verdict == FolderCheck::Verdict::Refused ||
        (check.verdict == FolderCheck::Verdict::NotRegistered && arguments.silent)) {
      return PresentReport(arguments, RemoveInstallation(system, request, kInstalledFiles));
    }
  }
  if (!arguments.silent) {
    const bool registered = check.verdict == FolderCheck::Verdict::Registered;
    const std::string question = registered ? kQuestion : UnregisteredFolderQuestion(check.fullPath);
    if (MessageBoxA(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
      return kExitNothingRemoved;
    }
    arguments.folderConfirmed = !registered;
  }
  // Interactive, this program ends at once and the copy reports; silent, it
  // waits for the copy's result, and its own file is set aside meanwhile.
  HANDLE copy = StartTemporaryCopy(arguments, !arguments.silent);
  if (copy == nullptr) return RemoveWithoutCopy(arguments, {request.folder, arguments.folderConfirmed, self});
  DWORD result = kExitRemoved;
  if (arguments.silent) {
    WaitForSingleObject(copy, INFINITE);
    if (!GetExitCodeProcess(copy, &result)) result = kExitIncomplete;
  }
  CloseHandle(copy);
  return static_cast<int>(result);
}

int Run(const UninstallArguments& arguments) {
  if (arguments.silent) SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  if (!arguments.error.empty()) {
    Present(arguments, arguments.error, MB_ICONERROR);
    return kExitNothingRemoved;
  }
  // Its current folder would keep the installation's folder in use.
  char systemFolder[MAX_PATH] = {};
  if (GetSystemDirectoryA(systemFolder, MAX_PATH) > 0) SetCurrentDirectoryA(systemFolder);
  return arguments.IsTemporaryCopy() ? RunAsTemporaryCopy(arguments) : RunAsOriginal(arguments);
}

int RunGuarded() {
  const UninstallArguments arguments = ParseUninstallArguments(CommandLineWords());
  try {
    return Run(arguments);
  } catch (const std::exception& error) {
    // The program's Exceptions and the runtime's (out of memory): something
    // may have stayed; a silent run has no one to show it to.
    if (!arguments.silent) MessageBoxA(nullptr, error.what(), kCaption, MB_OK | MB_ICONERROR);
  }
  return kExitIncomplete;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything may load a library by name: not from the folder this
  // program was started from, where a download or a planted file may lie.
  RestrictDllSearch();
  CoInitialize(nullptr);
  const int result = RunGuarded();
  CoUninitialize();
  return result;
}
