// The installation's logic on Windows in memory: what is read and in which
// order, the fallbacks, every write of the registration in order with its
// access, the stop at the first failure, and the shortcuts' fields.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "base/Exception.h"
#include "base/UserMessage.h"
#include "sysint/install.h"
#include "sysint/tests/FakeWindowsSystem.h"
#include "testsupport/ExceptionMessage.h"

namespace {

// Spelled out here rather than taken from the code under test, so that a
// wrong key path there cannot go unnoticed.
constexpr const char* kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox";
constexpr const char* kAppPathsExe = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox.exe";
constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TAV Quillbox";
constexpr const char* kProduct = "SOFTWARE\\TAV Quillbox";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr auto LM = RegistryRoot::LocalMachine;
constexpr auto CU = RegistryRoot::CurrentUser;
constexpr auto CR = RegistryRoot::ClassesRoot;
constexpr auto kFull = KeyAccess::Full;
constexpr auto kReadWrite = KeyAccess::ReadWrite;
using Write = FakeWindowsSystem::Write;

RegistryValue Value(RegistryValue::Kind kind) { return {kind, {}}; }

TEST(ReadRegString, EachKindOfValue) {
  FakeWindowsSystem system;
  system.SetValue(CU, "k", "text", "value");
  system.SetValue(CU, "k", "other", Value(RegistryValue::Kind::Other));
  system.SetValue(CU, "k", "unreadable", Value(RegistryValue::Kind::Unreadable));
  EXPECT_EQ(ReadRegString(system, CU, "k", "text"), "value");
  EXPECT_EQ(ReadRegString(system, CU, "k", "missing"), "");
  EXPECT_EQ(ReadRegString(system, CU, "no such key", "text"), "");
  EXPECT_EQ(MessageOf([&] { ReadRegString(system, CU, "k", "other"); }), "Invalid data type for 'other'");
  EXPECT_EQ(MessageOf([&] { ReadRegString(system, CU, "k", "unreadable"); }), "Failed to get data for 'unreadable'");
}

TEST(GetDefaultInstallDir, AppPathsFirstThenTheProgramFilesFolder) {
  FakeWindowsSystem system;
  EXPECT_EQ(GetDefaultInstallDir(system), "\\TAV Quillbox");
  system.SetValue(LM, kCurrentVersion, "ProgramFilesDir", "C:\\Progs\\");
  EXPECT_EQ(GetDefaultInstallDir(system), "C:\\Progs\\\\TAV Quillbox");
  system.SetValue(LM, kAppPaths, "Path", "");  // empty counts as missing
  system.SetValue(LM, kAppPathsExe, "Path", "D:\\Earlier Place\\");
  EXPECT_EQ(GetDefaultInstallDir(system), "D:\\Earlier Place\\");
  system.SetValue(LM, kAppPaths, "Path", "D:\\First");
  EXPECT_EQ(GetDefaultInstallDir(system), "D:\\First");
}

TEST(GetDefaultInstallDir, ProgramFilesDirOfAnotherTypeIsAnError) {
  FakeWindowsSystem system;
  system.SetValue(LM, kCurrentVersion, "ProgramFilesDir", Value(RegistryValue::Kind::Other));
  EXPECT_EQ(MessageOf([&] { GetDefaultInstallDir(system); }), "Invalid data type for 'ProgramFilesDir'");
}

TEST(GetShellFolder, EntryOrTheWindowsFolderFollowedByTheName) {
  FakeWindowsSystem system;
  system.SetValue(CU, kShellFolders, "Programs", "C:\\Menu\\Programs");
  system.SetValue(CU, kShellFolders, "Ends", "C:\\Somewhere\\");
  system.SetValue(CU, kShellFolders, "Empty", "");
  EXPECT_EQ(GetShellFolder(system, "Programs"), "C:\\Menu\\Programs\\");
  EXPECT_EQ(GetShellFolder(system, "Ends"), "C:\\Somewhere\\\\");
  EXPECT_EQ(GetShellFolder(system, "Empty"), "C:\\WINDOWS\\Empty\\");
  EXPECT_EQ(GetShellFolder(system, "Desktop"), "C:\\WINDOWS\\Desktop\\");
  system.windowsFolder = "C:";  // too short to be given a "\"
  EXPECT_EQ(GetWindowsFolder(system), "C:");
  EXPECT_EQ(GetShellFolder(system, "Desktop"), "C:Desktop\\");
}

// The six values every registration writes, for destination d.
std::vector<Write> BaseWrites(const std::string& d) {
  return {{LM, kFull, kAppPathsExe, "", d + "\\TAV Quillbox.exe"},
          {LM, kFull, kAppPathsExe, "Path", d},
          {LM, kFull, kUninstall, "DisplayName", "TAV Quillbox"},
          {LM, kFull, kUninstall, "UninstallString", "\"" + d + "\\UNINSTALL.EXE\""},
          {LM, kFull, kProduct, "InstalledVersion", "2.1.1"},
          {CU, kFull, kProduct, "InstalledVersion", "2.1.1"}};
}

std::vector<Write> AssociationWrites(const std::string& program) {
  return {{CR, kReadWrite, ".tav", "", "TAV file"},
          {CR, kReadWrite, "TAV file", "", "TAV Quillbox"},
          {CR, kReadWrite, "TAV file\\Shell\\Open\\command", "", "\"" + program + "\" \"%1\""},
          {CR, kReadWrite, "TAV file\\DefaultIcon", "", program + ",1"}};
}

class Registration : public testing::Test {
 protected:
  Registration() {
    former_ = SetMessagePresenter([this](const std::string& text, MessageStyle) { messages_.push_back(text); });
    system_.SetValue(CU, kShellFolders, "Programs", "C:\\Menu");
    system_.SetValue(CU, kShellFolders, "Desktop", "C:\\Desk");
  }
  ~Registration() override { SetMessagePresenter(former_); }

  FakeWindowsSystem system_;
  std::vector<std::string> messages_;
  MessagePresenter former_;
};

TEST_F(Registration, AllOptionsOffWritesExactlyTheSixValues) {
  RegisterInstallation(system_, "C:\\Apps\\TAV Quillbox", false, false, false);
  EXPECT_EQ(system_.writes, BaseWrites("C:\\Apps\\TAV Quillbox"));
  EXPECT_TRUE(system_.links.empty());
  EXPECT_EQ(system_.associationNotices, 0);
}

TEST_F(Registration, EveryOptionWritesTheTenValuesInOrderThenTheShortcuts) {
  const std::string d = "C:\\My Apps\\";  // as typed: "\" doubled in derived paths
  const std::string program = "C:\\My Apps\\\\TAV Quillbox.exe";
  RegisterInstallation(system_, d, true, true, true);
  std::vector<Write> expected = BaseWrites(d);
  for (const Write& write : AssociationWrites(program)) expected.push_back(write);
  EXPECT_EQ(system_.writes, expected);
  EXPECT_EQ(system_.associationNotices, 1);
  ASSERT_EQ(system_.links.size(), 2u);
  for (const char* link : {"C:\\Menu\\TAV Quillbox.lnk", "C:\\Desk\\TAV Quillbox.lnk"}) {
    const ShellLinkFields& fields = system_.links[link];
    EXPECT_EQ(fields.target, program) << link;
    EXPECT_EQ(fields.arguments, "");
    EXPECT_EQ(fields.workingFolder, "C:\\My Apps\\\\");
    EXPECT_EQ(fields.description, "TAV Quillbox");
  }
  EXPECT_TRUE(messages_.empty());
}

// The first failing write stops the registration; what came before stays.
TEST_F(Registration, RefusedWriteStopsEverythingAfterIt) {
  struct Case {
    RegistryRoot root;
    const char* key;
    std::size_t writesBefore;
    const char* message;
  };
  for (const Case& refused : {Case{LM, kAppPathsExe, 0, "Failed to set data for ''"},
                              Case{LM, kUninstall, 2, "Failed to set data for 'DisplayName'"},
                              Case{CU, kProduct, 5, "Failed to set data for 'InstalledVersion'"},
                              Case{CR, "TAV file", 7, "Error creating system registry entry"}}) {
    FakeWindowsSystem system;
    system.lockedKeys.insert(FakeKey(refused.root, refused.key));
    EXPECT_EQ(MessageOf([&] { RegisterInstallation(system, "C:\\Apps", true, true, true); }), refused.message);
    EXPECT_EQ(system.writes.size(), refused.writesBefore) << refused.key;
    EXPECT_TRUE(system.links.empty()) << refused.key;
    EXPECT_EQ(system.associationNotices, 0) << refused.key;
  }
}

TEST_F(Registration, ShellFolderOfAnotherTypeStopsTheShortcuts) {
  system_.SetValue(CU, kShellFolders, "Programs", Value(RegistryValue::Kind::Other));
  EXPECT_EQ(MessageOf([&] { RegisterInstallation(system_, "C:\\Apps", false, true, true); }),
            "Invalid data type for 'Programs'");
  EXPECT_EQ(system_.writes.size(), 6u);
  EXPECT_TRUE(system_.links.empty());
}

TEST_F(Registration, LinkObjectFailuresStopIt) {
  for (const char* failure : {"Class not registered", "Interface not supported"}) {
    system_.linkFailure = failure;
    EXPECT_EQ(MessageOf([&] { RegisterInstallation(system_, "C:\\Apps", false, true, true); }), failure);
  }
  EXPECT_TRUE(system_.links.empty());
}

TEST_F(Registration, ShortcutWithAnotherExtensionOnlyShowsTheMessage) {
  for (const char* link : {"C:\\x\\link.url", "C:\\x\\link", "C:\\dir.lnk\\link", "C:\\x\\link.lnkx"}) {
    messages_.clear();
    CreateShortcut(system_, "C:\\Apps\\TAV Quillbox.exe", "", link, "TAV Quillbox");
    EXPECT_EQ(messages_, std::vector<std::string>{"Error: link path extension must be .LNK"}) << link;
  }
  CreateShortcut(system_, "C:\\Apps\\TAV Quillbox.exe", "-a", "C:\\x\\Mixed.Lnk", "d");
  EXPECT_EQ(system_.links["C:\\x\\Mixed.Lnk"].arguments, "-a");
  EXPECT_EQ(system_.links.size(), 1u);
}

}  // namespace
