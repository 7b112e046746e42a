// uninstall.exe: removes TAV Quillbox from the folder it was installed into.
// Started by Windows' list of installed programs (the "UninstallString" of
// the installation's "Uninstall" entry), it asks first, then hands the work
// to a copy of itself in the temporary folder so that its own file can go
// too (SelfRemoval_win.h). Removal.h decides what is removed.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/FileSystem.h"
#include "base/FileStream.h"
#include "uninstall/Arguments.h"
#include "uninstall/InstalledFiles.h"
#include "uninstall/Removal.h"
#include "uninstall/Report.h"
#include "uninstall/SelfRemoval_win.h"
#include "uninstall/System_win.h"

namespace {

constexpr const char* kCaption = "TAV Quillbox Uninstall";
constexpr const char* kQuestion = "Remove TAV Quillbox and all of its components?";

std::vector<std::string> CommandLineWords() {
  std::vector<std::string> words;
  for (int i = 1; i < __argc; ++i) words.emplace_back(__argv[i]);
  return words;
}

std::string FolderOfProgram(const std::string& programPath) {
  const std::size_t separator = programPath.find_last_of('\\');
  return separator == std::string::npos ? std::string() : programPath.substr(0, separator);
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
  } else if (!arguments.reportPath.empty()) {
    WriteReportFile(arguments.reportPath, text);
  }
}

RemovalReport RemoveFrom(const std::string& folder) {
  WindowsUninstallSystem system;
  return RemoveInstallation(system, folder, kInstalledFiles);
}

void PresentReport(const UninstallArguments& arguments, const RemovalReport& report) {
  Present(arguments, ReportText(report), report.notRemoved.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

void ShowError(const std::string& text) { MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR); }

void Run(const UninstallArguments& arguments) {
  if (arguments.IsTemporaryCopy()) {
    WaitForOriginalToEnd(arguments.originalProcess);
    const RemovalReport report = RemoveFrom(FolderOfProgram(arguments.original));
    // Before the report, which may stay on the screen for long.
    ScheduleRemovalOfThisProgram();
    PresentReport(arguments, report);
    return;
  }
  if (!arguments.silent && MessageBoxA(nullptr, kQuestion, kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  // Without a temporary copy the work is done here, and this program's own
  // file stays (the report names it).
  if (!StartTemporaryCopy(arguments)) PresentReport(arguments, RemoveFrom(FolderOfProgram(ThisProgramPath())));
}

int RunWithArguments() {
  UninstallArguments arguments;
  try {
    arguments = ParseUninstallArguments(CommandLineWords());
  } catch (const Exception& error) {
    ShowError(error.Message());
    return EXIT_FAILURE;
  }
  try {
    Run(arguments);
    return EXIT_SUCCESS;
  } catch (const Exception& error) {
    // A silent run has no one to show a box to: its exit code tells.
    if (!arguments.silent) ShowError(error.Message());
    return EXIT_FAILURE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CoInitialize(nullptr);
  const int result = RunWithArguments();
  CoUninitialize();
  return result;
}
