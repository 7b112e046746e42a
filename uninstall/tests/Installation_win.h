// What the uninstaller's Wine tests share: one installation in a throw-away
// folder (the built programs and stand-ins for the other files, registered
// by RegisterInstallation), the uninstaller started as Windows' list of
// programs or a deployment script starts it, and what it leaves in the
// temporary folder, removed after each run.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/FileSystem.h"

inline constexpr DWORD kWaitMs = 30000;
inline constexpr DWORD kPollMs = 50;

// The uninstaller's exit codes, as a deployment script reads them.
inline constexpr DWORD kExitRemoved = 0;
inline constexpr DWORD kExitIncomplete = 1;
inline constexpr DWORD kExitNothingRemoved = 2;

inline constexpr const char* kUninstallCaption = "TAV Quillbox Uninstall";
inline const char* const kInstalledFiles[] = {"zipdll.dll", "unzdll.dll", "TAV Quillbox.exe", "uninstall.exe",
                                              "ReadMe.txt"};

bool Exists(const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
// The texts of a window's controls, one a line.
std::string ControlTexts(HWND window);
// The uninstaller's message box (processId 0: any process's) once it is on
// the screen; null after timeoutMs.
HWND WaitForBox(DWORD processId, DWORD timeoutMs = kWaitMs);
// Presses a message box's button and waits for its process to end.
void PressAndWait(HWND box, int button);
// Answers a started uninstaller's question with Yes and returns the report
// box that its temporary copy then shows; null when the question or the
// report never came or the started program did not end.
HWND AnswerYesForReport(const PROCESS_INFORMATION& process);

// A silent run, as a deployment script makes it.
struct SilentRun {
  DWORD exitCode = STILL_ACTIVE;
  // The report as it stood when the started process ended.
  std::string reportAtExit;
  // The report once written (the temporary copy may write it later).
  std::string report;
};

class Installation : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string InFolder(const std::string& name) const { return folder_ + "\\" + name; }
  // Copies the built programs and writes stand-ins for the other files.
  void PutInstalledFiles(const std::string& folder);
  std::string UserFile(const std::string& name);

  // Starts program (the installed uninstaller when empty) with arguments
  // appended to its quoted path. A suspended program's thread handle is
  // left open for the caller to resume it.
  PROCESS_INFORMATION Start(const std::string& arguments, DWORD flags = 0, bool inheritHandles = false,
                            const std::string& program = {});
  // Runs the uninstaller with "/S /REPORT=..." and arguments.
  SilentRun RunSilently(const std::string& arguments = {}, const std::string& program = {});
  // Waits for a started uninstaller; for a silent run's report too.
  SilentRun Finish(const PROCESS_INFORMATION& process, bool silent = true);

  // The files and folders under the temporary folder that the runs since
  // the last ForgetTemporaryCopies handed to Windows to delete when it next
  // starts.
  std::vector<std::string> TemporaryCopies();
  // The same, deleted here (once the programs in them have ended).
  std::vector<std::string> ForgetTemporaryCopies();

  void RemoveRegistration();

  std::string folder_;
  std::string report_;
  std::string programsLink_;
  std::string desktopLink_;
  std::vector<std::string> extraFiles_;
  std::vector<std::string> pendingBefore_;
};
