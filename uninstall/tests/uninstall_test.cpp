// uninstall.exe for real under Wine, after a registration made by
// RegisterInstallation into a throw-away folder: it removes what was
// registered and installed, keeps what the user added and what belongs to
// another program, says truthfully what stayed and why, and a second run
// finishes what the first could not.
#include <windows.h>

#include <string>

#include "sysint/InstallLayout.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "uninstall/tests/BuildPaths.h"
#include "uninstall/tests/Installation_win.h"

namespace {

Win32System windows;

constexpr const char* kRemovedMessage = "TAV Quillbox was removed.";
const std::string kOpenCommandKey = std::string(kDocumentType) + "\\Shell\\Open\\command";

TEST_F(Installation, AsksFirstAndNoLeavesEverything) {
  RegisterInstallation(windows, folder_, false, false, false);
  const PROCESS_INFORMATION process = Start("");
  ASSERT_NE(process.hProcess, nullptr);

  HWND box = WaitForBox(process.dwProcessId);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(ControlTexts(box).find("Remove TAV Quillbox and all of its components?\n"), std::string::npos)
      << ControlTexts(box);
  PostMessageA(box, WM_COMMAND, IDNO, 0);
  EXPECT_EQ(Finish(process, false).exitCode, kExitNothingRemoved);

  EXPECT_TRUE(ForgetTemporaryCopies().empty());
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  for (const char* name : kInstalledFiles) EXPECT_TRUE(Exists(InFolder(name))) << name;
}

TEST_F(Installation, AsksThenRemovesAndSaysSoInABox) {
  RegisterInstallation(windows, folder_, true, false, false);
  const PROCESS_INFORMATION process = Start("");
  ASSERT_NE(process.hProcess, nullptr);
  HWND report = AnswerYesForReport(process);
  ASSERT_NE(report, nullptr);
  EXPECT_NE(ControlTexts(report).find(std::string(kRemovedMessage) + "\n"), std::string::npos) << ControlTexts(report);
  PressAndWait(report, IDOK);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kDocumentType));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(Exists(folder_));
}

TEST_F(Installation, SilentlyRemovesEverythingAndTheFirstProcessReturnsTheResult) {
  RegisterInstallation(windows, folder_ + "\\", true, true, true);  // typed with a "\": doubled in the registry
  ASSERT_TRUE(Exists(programsLink_));
  ASSERT_TRUE(Exists(desktopLink_));
  ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kOpenCommandKey));

  const SilentRun run = RunSilently();

  // The process a deployment script started ends only once all is done.
  EXPECT_EQ(run.reportAtExit, kRemovedMessage);
  EXPECT_EQ(run.exitCode, kExitRemoved);
  EXPECT_FALSE(Exists(programsLink_));
  EXPECT_FALSE(Exists(desktopLink_));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPathsExeKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kDocumentExtension));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kDocumentType));
  for (const char* name : kInstalledFiles) EXPECT_FALSE(Exists(InFolder(name))) << name;
  EXPECT_FALSE(Exists(folder_));
}

TEST_F(Installation, KeepsAUserFileWithTheFolderAndASecondRunDoesNoHarm) {
  RegisterInstallation(windows, folder_, false, true, false);
  const std::string notes = UserFile("my notes.txt");
  const std::string nearName = UserFile("zipdll.dll.old");  // a listed name's neighbour is no listed file

  const SilentRun first = RunSilently();
  EXPECT_NE(first.report.find("The folder " + folder_ + " was kept"), std::string::npos) << first.report;
  EXPECT_TRUE(first.report.ends_with(kRemovedMessage)) << first.report;
  EXPECT_EQ(first.exitCode, kExitRemoved);
  EXPECT_TRUE(Exists(notes));
  EXPECT_TRUE(Exists(nearName));
  EXPECT_FALSE(Exists(programsLink_));
  for (const char* name : kInstalledFiles) EXPECT_FALSE(Exists(InFolder(name))) << name;

  // The same uninstaller once more, confirmed by the folder's registration
  // that a user put back, with nothing of the installation left.
  RegisterInstallation(windows, folder_, false, false, false);
  ASSERT_TRUE(CopyFileA(kBuiltUninstaller, InFolder("uninstall.exe").c_str(), FALSE));
  const SilentRun second = RunSilently();
  EXPECT_EQ(second.report, first.report);
  EXPECT_EQ(second.exitCode, kExitRemoved);
  EXPECT_TRUE(Exists(notes));
  EXPECT_FALSE(Exists(InFolder("uninstall.exe")));
}

TEST_F(Installation, AFileInUseIsReportedTheEntryStaysAndASecondRunFinishes) {
  RegisterInstallation(windows, folder_, false, false, false);
  const std::string readMe = InFolder("ReadMe.txt");
  // Open, shared with no one who would delete it: as a viewer may hold it.
  HANDLE inUse = CreateFileA(readMe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);

  const SilentRun first = RunSilently();
  CloseHandle(inUse);

  EXPECT_EQ(first.exitCode, kExitIncomplete);
  EXPECT_EQ(first.reportAtExit, first.report);
  EXPECT_NE(first.report.find("    " + readMe + ": "), std::string::npos) << first.report;
  EXPECT_NE(first.report.find("    " + folder_ + ": "), std::string::npos) << first.report;
  EXPECT_EQ(first.report.find(kRemovedMessage), std::string::npos) << first.report;
  EXPECT_TRUE(Exists(readMe));
  EXPECT_FALSE(Exists(InFolder("zipdll.dll")));
  EXPECT_FALSE(Exists(InFolder("uninstall.exe")));
  // Kept, so that the removal can be made again from the list of programs.
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_NE(first.report.find(kUninstallKey), std::string::npos) << first.report;

  ASSERT_TRUE(CopyFileA(kBuiltUninstaller, InFolder("uninstall.exe").c_str(), FALSE));
  const SilentRun second = RunSilently();
  EXPECT_EQ(second.exitCode, kExitRemoved);
  EXPECT_EQ(second.report, kRemovedMessage);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(Exists(folder_));
}

TEST_F(Installation, LeavesShortcutsAndAnAssociationOfAnotherProgram) {
  RegisterInstallation(windows, folder_, false, false, false);
  const std::string other = TemporaryFolder() + "another program\\Other.exe";
  CreateShortcut(windows, other, "", programsLink_, kProductName);
  CreateShortcut(windows, other, "", desktopLink_, kProductName);
  AssociateFileType(windows, kDocumentExtension, kDocumentType, kProductName, other, kDocumentIconIndex);
  ASSERT_TRUE(Exists(programsLink_));

  EXPECT_EQ(RunSilently().report, kRemovedMessage);

  EXPECT_TRUE(Exists(programsLink_));
  EXPECT_TRUE(Exists(desktopLink_));
  EXPECT_EQ(ReadRegString(windows, RegistryRoot::ClassesRoot, kDocumentExtension, ""), kDocumentType);
  EXPECT_EQ(ReadRegString(windows, RegistryRoot::ClassesRoot, kOpenCommandKey, ""), OpenCommand(other));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPathsExeKey));
  EXPECT_FALSE(Exists(folder_));
}

TEST_F(Installation, KeepsWhatTheApplicationStoredUnderItsProductKey) {
  RegisterInstallation(windows, folder_, false, false, false);
  WriteRegString(windows, RegistryRoot::CurrentUser, kProductKey, "LastCardFile", "C:\\cards\\home.tav");
  WriteRegString(windows, RegistryRoot::CurrentUser, std::string(kProductKey) + "\\Window", "Left", "10");

  EXPECT_EQ(RunSilently().exitCode, kExitRemoved);

  EXPECT_EQ(ReadRegString(windows, RegistryRoot::CurrentUser, kProductKey, "InstalledVersion"), "");
  EXPECT_EQ(ReadRegString(windows, RegistryRoot::CurrentUser, kProductKey, "LastCardFile"), "C:\\cards\\home.tav");
  EXPECT_EQ(ReadRegString(windows, RegistryRoot::CurrentUser, std::string(kProductKey) + "\\Window", "Left"), "10");
  // Nothing else was stored under the machine's key: it goes.
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
}

}  // namespace
