// What the uninstaller removes, decided on an installation kept in memory:
// everything the installation wrote that names this folder, nothing else.
#include <gtest/gtest.h>

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
const std::string kProgramsLink = "C:\\Users\\me\\Programs\\TAV Quillbox.lnk";
const std::string kDesktopLink = "C:\\Users\\me\\Desktop\\TAV Quillbox.lnk";
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

RemovalReport Remove(FakeSystem& system) { return RemoveInstallation(system, kFolder, kFiles); }

TEST(Removal, RemovesEverythingTheInstallationWroteAndTheEmptyFolder) {
  FakeSystem system;
  // Typed with a trailing "\" and other capitals: the registry holds doubled
  // backslashes, which still name this folder.
  Install(system, "c:\\apps\\TAV QUILLBOX\\", kFolder);
  system.SetValue(LM, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Other.exe", "", "C:\\x.exe");

  const RemovalReport report = Remove(system);

  EXPECT_TRUE(report.notRemoved.empty());
  EXPECT_FALSE(report.folderKept);
  ASSERT_EQ(system.keys.size(), 1u);
  EXPECT_EQ(system.keys.begin()->first.second, "software\\microsoft\\windows\\currentversion\\app paths\\other.exe");
  EXPECT_TRUE(system.files.empty());
  EXPECT_EQ(system.removedFolders.count(kFolder), 1u);
  EXPECT_EQ(system.associationNotices, 1);
  EXPECT_EQ(ReportText(report), kRemovedMessage);
}

TEST(Removal, KeepsFilesItDidNotInstallAndTheFolderWithThem) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.files.insert(kFolder + "\\my cards.tav");
  system.files.insert(kFolder + "\\zipdll.dll.bak");

  const RemovalReport report = Remove(system);

  EXPECT_EQ(system.files, (std::set<std::string>{kFolder + "\\my cards.tav", kFolder + "\\zipdll.dll.bak"}));
  EXPECT_TRUE(report.folderKept);
  EXPECT_TRUE(report.notRemoved.empty());
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("The folder " + kFolder + " was kept"), std::string::npos);
  EXPECT_TRUE(text.ends_with(kRemovedMessage));
}

TEST(Removal, LeavesShortcutsAssociationAndEntriesOfAnotherInstallation) {
  FakeSystem system;
  Install(system, kOtherFolder, kOtherFolder);  // registered later, elsewhere
  for (const char* name : kFiles) system.files.insert(kFolder + "\\" + name);
  const auto keysBefore = system.keys;

  const RemovalReport report = Remove(system);

  EXPECT_EQ(system.keys, keysBefore);
  EXPECT_EQ(system.associationNotices, 0);
  EXPECT_EQ(system.files.count(kProgramsLink), 1u);
  EXPECT_EQ(system.files.count(kDesktopLink), 1u);
  EXPECT_EQ(system.files.count(kOtherFolder + "\\TAV Quillbox.exe"), 1u);
  EXPECT_EQ(system.files.count(kFolder + "\\TAV Quillbox.exe"), 0u);
  EXPECT_TRUE(report.notRemoved.empty());
}

TEST(Removal, AnExtensionTakenOverByAnotherTypeStays) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.SetValue(CR, kDocumentExtension, "", "OtherApp.Document");

  Remove(system);

  EXPECT_EQ(system.ReadString(CR, kDocumentExtension, ""), "OtherApp.Document");
  EXPECT_FALSE(system.KeyExists(CR, kDocumentType));
  EXPECT_FALSE(system.KeyExists(CR, kOpenCommandKey));
}

TEST(Removal, ProductKeysGoWhenNoInstallationIsRegistered) {
  FakeSystem system;
  system.SetValue(LM, kProductKey, "InstalledVersion", kInstalledVersion);
  system.SetValue(CU, kProductKey, "InstalledVersion", kInstalledVersion);

  Remove(system);

  EXPECT_TRUE(system.keys.empty());
}

TEST(Removal, ASecondRunHasNothingToDo) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.files.insert(kFolder + "\\notes.txt");
  Remove(system);
  const auto keysAfterFirst = system.keys;
  const auto filesAfterFirst = system.files;

  const RemovalReport second = Remove(system);

  EXPECT_EQ(system.keys, keysAfterFirst);
  EXPECT_EQ(system.files, filesAfterFirst);
  EXPECT_EQ(system.associationNotices, 1);
  EXPECT_TRUE(second.notRemoved.empty());
}

TEST(Removal, ReportsWhatCouldNotBeRemovedAndGoesOn) {
  FakeSystem system;
  Install(system, kFolder, kFolder);
  system.lockedFiles.insert(kFolder + "\\unzdll.dll");
  system.lockedFiles.insert(kDesktopLink);
  system.lockedKeys.insert({LM, "software\\microsoft\\windows\\currentversion\\uninstall\\tav quillbox"});

  const RemovalReport report = Remove(system);

  // The folder stays for the locked DLL, not for files of the user's.
  EXPECT_EQ(report.notRemoved,
            (std::vector<std::string>{kDesktopLink, std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey,
                                      kFolder + "\\unzdll.dll", kFolder}));
  EXPECT_FALSE(report.folderKept);
  EXPECT_FALSE(system.KeyExists(LM, kAppPathsExeKey));
  EXPECT_FALSE(system.KeyExists(CU, kProductKey));
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("could not be removed:\r\n    " + kDesktopLink + "\r\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with(kRemovedMessage));
}

}  // namespace
