// What the uninstaller removes, decided on an installation kept in memory:
// everything the installation wrote that names this folder, nothing else;
// nothing at all from a folder it must not touch; and a report that says
// what stayed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "sysint/InstallLayout.h"
#include "uninstall/Removal.h"
#include "uninstall/Report.h"
#include "uninstall/tests/FakeSystem.h"

namespace {

constexpr std::array<const char*, 5> kFiles = {"zipdll.dll", "unzdll.dll", "TAV Quillbox.exe", "uninstall.exe",
                                               "ReadMe.txt"};
const std::string kFolder = "C:\\Apps\\TAV Quillbox";
const std::string kOtherFolder = "C:\\Other\\TAV Quillbox";
// Where the shell folders are when "Shell Folders" names none.
const std::string kProgramsLink = "C:\\WINDOWS\\Programs\\TAV Quillbox.lnk";
const std::string kDesktopLink = "C:\\WINDOWS\\Desktop\\TAV Quillbox.lnk";
constexpr auto LM = RegistryRoot::LocalMachine;
constexpr auto CU = RegistryRoot::CurrentUser;
constexpr auto CR = RegistryRoot::ClassesRoot;
const std::string kOpenCommandKey = std::string(kDocumentType) + "\\Shell\\Open\\command";

// What the installation writes for destination as typed, with every option.
void Install(FakeSystem& system, const std::string& destination, const std::string& folderOnDisk) {
  const std::string program = ProgramPath(destination);
  system.SetValue(LM, kAppPathsExeKey, "", program);
  system.SetValue(LM, kAppPathsExeKey, "Path", destination);
  system.SetValue(LM, kUninstallKey, "DisplayName", kProductName);
  system.SetValue(LM, kUninstallKey, "UninstallString", UninstallCommand(destination));
  system.SetValue(LM, kProductKey, "InstalledVersion", kInstalledVersion);
  system.SetValue(CU, kProductKey, "InstalledVersion", kInstalledVersion);
  system.SetValue(CR, kDocumentExtension, "", kDocumentType);
  system.SetValue(CR, kDocumentType, "", kProductName);
  system.SetValue(CR, kOpenCommandKey, "", OpenCommand(program));
  system.SetValue(CR, std::string(kDocumentType) + "\\DefaultIcon", "", IconValue(program, 1));
  system.AddLink(kProgramsLink, program);
  system.AddLink(kDesktopLink, program);
  for (const char* name : kFiles) system.files.insert(folderOnDisk + "\\" + name);
}

RemovalReport Remove(FakeSystem& system, const std::string& folder = kFolder, bool confirmed = false) {
  return RemoveInstallation(system, {folder, confirmed, {}}, kFiles);
}

TEST(Removal, RemovesEverythingTheInstallationWroteAndTheEmptyFolder) {
  FakeSystem system;
  // Typed with a trailing "\" and other capitals: the registry holds doubled
  // backslashes, which still name this folder.
  Install(system, "c:\\apps\\TAV QUILLBOX\\", kFolder);
  system.SetValue(LM, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Other.exe", "", "C:\\x.exe");

  const RemovalReport report = Remove(system);

  EXPECT_TRUE(report.stayed.empty());
  EXPECT_FALSE(report.folderKept);
  ASSERT_EQ(system.keys.size(), 1u);
  EXPECT_EQ(system.keys.begin()->first.second, "software\\microsoft\\windows\\currentversion\\app paths\\other.exe");
  EXPECT_TRUE(system.files.empty());
  EXPECT_EQ(system.removedFolders.count(kFolder), 1u);
  EXPECT_EQ(system.associationNotices, 1);
  EXPECT_EQ(ReportText(report), kRemovedMessage);
  EXPECT_EQ(ExitCode(report), kExitRemoved);
}

TEST(Removal, KeepsFilesItDidNotInstallAndTheFolderWithThem) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.files.insert(kFolder + "\\my cards.tav");
  system.files.insert(kFolder + "\\zipdll.dll.bak");

  const RemovalReport report = Remove(system);

  EXPECT_EQ(system.files, (std::set<std::string>{kFolder + "\\my cards.tav", kFolder + "\\zipdll.dll.bak"}));
  EXPECT_TRUE(report.folderKept);
  EXPECT_TRUE(report.stayed.empty());
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("The folder " + kFolder + " was kept"), std::string::npos);
  EXPECT_TRUE(text.ends_with(kRemovedMessage));
  EXPECT_EQ(ExitCode(report), kExitRemoved);
}

// A copy of the uninstaller in a folder that another installation's entries
// do not name (a download folder, the leftover temporary copy) removes
// nothing, unless the user confirmed that folder by name; and even then
// nothing of the other installation.
TEST(Removal, AFolderNoEntryNamesIsLeftUnlessConfirmedByName) {
  FakeSystem system;
  Install(system, kOtherFolder, kOtherFolder);  // registered later, elsewhere
  for (const char* name : kFiles) system.files.insert(kFolder + "\\" + name);
  const auto keysBefore = system.keys;
  const auto filesBefore = system.files;

  const RemovalReport refused = Remove(system);

  EXPECT_EQ(system.files, filesBefore);
  EXPECT_EQ(system.keys, keysBefore);
  EXPECT_NE(ReportText(refused).find("not registered as installed in the folder " + kFolder), std::string::npos);
  EXPECT_EQ(ExitCode(refused), kExitNothingRemoved);

  const RemovalReport confirmed = Remove(system, kFolder, true);

  EXPECT_EQ(system.keys, keysBefore);
  EXPECT_EQ(system.associationNotices, 0);
  EXPECT_EQ(system.files.count(kProgramsLink), 1u);
  EXPECT_EQ(system.files.count(kDesktopLink), 1u);
  EXPECT_EQ(system.files.count(kOtherFolder + "\\TAV Quillbox.exe"), 1u);
  EXPECT_EQ(system.files.count(kFolder + "\\TAV Quillbox.exe"), 0u);
  EXPECT_EQ(ExitCode(confirmed), kExitRemoved);
}

// The registry keeps the destination as the user typed it: every way of
// writing this folder names it, and so does the uninstall command written
// without quotes by earlier installations.
TEST(Removal, AFolderRegisteredInAnyFormIsThisInstallation) {
  const std::string forms[] = {"C:\\Apps\\.\\TAV Quillbox", "C:\\Apps\\Old\\..\\TAV Quillbox",
                               "C:\\APPS\\TAVQUI~1", "\\\\?\\C:\\Apps\\TAV Quillbox", "C:/Apps//TAV Quillbox/"};
  for (const std::string& destination : forms) {
    SCOPED_TRACE(destination);
    FakeSystem system;
    system.shortNames["C:\\Apps\\TAVQUI~1"] = kFolder;
    Install(system, destination, kFolder);

    const RemovalReport report = Remove(system);

    EXPECT_TRUE(system.keys.empty());
    EXPECT_TRUE(system.files.empty());
    EXPECT_EQ(ExitCode(report), kExitRemoved);
  }
  FakeSystem bare;
  Install(bare, kFolder, kFolder);
  bare.SetValue(LM, kUninstallKey, "UninstallString", UninstallerPath(kFolder));
  EXPECT_EQ(ExitCode(Remove(bare)), kExitRemoved);
  EXPECT_FALSE(bare.KeyExists(LM, kUninstallKey));
}

TEST(Removal, DriveRootsLinksAndPathsThatAreNotFullAreRefused) {
  struct Case {
    std::string folder;
    FolderKind kind;
    const char* says;
  };
  const Case cases[] = {
      {"C:", FolderKind::Folder, "root of a drive"},  // the current folder on C, taken as the drive
      {"C:\\", FolderKind::Folder, "root of a drive"},
      {"C:\\Apps\\..", FolderKind::Folder, "root of a drive"},
      {"\\\\server\\share", FolderKind::Folder, "root of a drive"},
      {"Apps\\TAV Quillbox", FolderKind::Folder, "not given as a full path"},
      {"C:Apps", FolderKind::Folder, "not given as a full path"},
      {kFolder, FolderKind::Link, "a link to another place"},
      {kFolder, FolderKind::NotAFolder, "is not a folder"},
      {kFolder, FolderKind::Missing, "does not exist"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    FakeSystem system;
    Install(system, c.folder, c.folder);
    system.folderKinds[kFolder] = c.kind;
    const auto keysBefore = system.keys;
    const auto filesBefore = system.files;

    const RemovalReport report = Remove(system, c.folder, true);

    EXPECT_EQ(system.keys, keysBefore);
    EXPECT_EQ(system.files, filesBefore);
    EXPECT_TRUE(system.log.empty());
    EXPECT_NE(ReportText(report).find(c.says), std::string::npos) << ReportText(report);
    EXPECT_EQ(ReportText(report).find(kRemovedMessage), std::string::npos);
    EXPECT_EQ(ExitCode(report), kExitNothingRemoved);
  }
}

TEST(Removal, AnExtensionTakenOverByAnotherTypeStays) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.SetValue(CR, kDocumentExtension, "", "OtherApp.Document");

  Remove(system);

  EXPECT_EQ(system.StoredText(CR, kDocumentExtension, ""), "OtherApp.Document");
  EXPECT_FALSE(system.KeyExists(CR, kDocumentType));
  EXPECT_FALSE(system.KeyExists(CR, kOpenCommandKey));
}

// The application keeps its own settings under its product key: only the
// value the installation wrote goes, and the key only when nothing is left.
TEST(Removal, OnlyTheInstallationsValueGoesFromTheProductKeys) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.SetValue(CU, kProductKey, "LastCardFile", "C:\\cards\\home.tav");
  system.SetValue(CU, std::string(kProductKey) + "\\Window", "Left", "10");

  EXPECT_EQ(ExitCode(Remove(system)), kExitRemoved);

  EXPECT_FALSE(system.StoredText(CU, kProductKey, "InstalledVersion"));
  EXPECT_EQ(system.StoredText(CU, kProductKey, "LastCardFile"), "C:\\cards\\home.tav");
  EXPECT_EQ(system.StoredText(CU, std::string(kProductKey) + "\\Window", "Left"), "10");
  EXPECT_FALSE(system.KeyExists(LM, kProductKey));
}

TEST(Removal, ASecondRunHasNothingToDo) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.files.insert(kFolder + "\\notes.txt");
  const std::string first = ReportText(Remove(system));
  const auto keysAfterFirst = system.keys;
  const auto filesAfterFirst = system.files;
  system.log.clear();

  // Nothing names the folder any more: only the user can say it is theirs.
  const RemovalReport second = Remove(system, kFolder, true);

  EXPECT_EQ(system.keys, keysAfterFirst);
  EXPECT_EQ(system.files, filesAfterFirst);
  EXPECT_TRUE(system.log.empty());
  EXPECT_EQ(ReportText(second), first);
}

TEST(Removal, ReportsWhatStayedAndWhyKeepsTheUninstallEntryAndGoesOn) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.lockedFiles.insert(kFolder + "\\unzdll.dll");
  system.lockedFiles.insert(kDesktopLink);
  system.lockedKeys.insert({LM, "software\\microsoft\\windows\\currentversion\\app paths\\tav quillbox.exe"});

  const RemovalReport report = Remove(system);

  const std::string uninstallEntry = std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey;
  ASSERT_EQ(report.stayed.size(), 5u);
  EXPECT_EQ(report.stayed[0].what, kDesktopLink);
  EXPECT_EQ(report.stayed[0].why, "in use by another program");
  EXPECT_EQ(report.stayed[1].what, std::string("HKEY_LOCAL_MACHINE\\") + kAppPathsExeKey);
  EXPECT_EQ(report.stayed[2].what, kFolder + "\\unzdll.dll");
  EXPECT_EQ(report.stayed[3].what, kFolder);
  EXPECT_EQ(report.stayed[4].what, uninstallEntry);
  EXPECT_FALSE(report.folderKept);
  // The rest went, and the entry stays for a second run.
  EXPECT_FALSE(system.KeyExists(CU, kProductKey));
  EXPECT_FALSE(system.FileExists(kFolder + "\\ReadMe.txt"));
  EXPECT_TRUE(system.KeyExists(LM, kUninstallKey));
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("These items stayed:\r\n    " + kDesktopLink + ": in use by another program\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find(kRemovedMessage), std::string::npos) << text;
  EXPECT_EQ(ExitCode(report), kExitIncomplete);

  system.lockedFiles.clear();
  system.lockedKeys.clear();
  const RemovalReport second = Remove(system);
  EXPECT_EQ(ReportText(second), kRemovedMessage);
  EXPECT_TRUE(system.keys.empty());
}

TEST(Removal, TheUninstallEntryGoesLastOnceTheFilesAreGone) {
  FakeSystem system;
  Install(system, kFolder, kFolder);

  Remove(system);

  ASSERT_FALSE(system.log.empty());
  EXPECT_EQ(system.log.back(), std::string("key ") + kUninstallKey);
  EXPECT_LT(std::find(system.log.begin(), system.log.end(), "folder " + kFolder), system.log.end() - 1);
}

// The uninstaller started by a deployment script waits for its copy's
// result, so its own file is still running: it is moved out of the folder;
// when it cannot be (another drive), Windows removes it when it next starts.
TEST(Removal, ARunningUninstallerIsSetAside) {
  const std::string running = kFolder + "\\uninstall.exe";
  for (const bool movable : {true, false}) {
    SCOPED_TRACE(movable ? "moved out" : "removed at restart");
    FakeSystem system;
    Install(system, kFolder, kFolder);
    system.runningFiles.insert(running);
    if (!movable) system.unmovableFiles.insert(running);

    const RemovalReport report = RemoveInstallation(system, {kFolder, false, running}, kFiles);

    EXPECT_TRUE(report.stayed.empty());
    EXPECT_FALSE(system.KeyExists(LM, kUninstallKey));
    if (movable) {
      EXPECT_TRUE(system.files.empty());
      EXPECT_EQ(ReportText(report), kRemovedMessage);
      EXPECT_EQ(ExitCode(report), kExitRemoved);
    } else {
      EXPECT_EQ(report.atRestart, (std::vector<std::string>{running, kFolder}));
      EXPECT_EQ(system.foldersAtRestart.count(kFolder), 1u);
      EXPECT_NE(ReportText(report).find("removed when Windows next starts"), std::string::npos);
      EXPECT_EQ(ReportText(report).find(kRemovedMessage), std::string::npos);
      EXPECT_EQ(ExitCode(report), kExitRestartNeeded);
    }
  }
}

TEST(Removal, OnlyTheRunningUninstallerIsSetAside) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.runningFiles.insert(kFolder + "\\TAV Quillbox.exe");

  const RemovalReport report = RemoveInstallation(system, {kFolder, false, kFolder + "\\uninstall.exe"}, kFiles);

  ASSERT_FALSE(report.stayed.empty());
  EXPECT_EQ(report.stayed[0].what, kFolder + "\\TAV Quillbox.exe");
  EXPECT_TRUE(system.FileExists(kFolder + "\\TAV Quillbox.exe"));
  EXPECT_EQ(ExitCode(report), kExitIncomplete);
}

}  // namespace
