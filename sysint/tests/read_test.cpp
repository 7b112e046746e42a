// The destination offered at first and the shell folders, read from the
// prefix's real registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <functional>

#include "TestRegistry_win.h"
#include "base/Exception.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"

namespace {

Win32System windows;

// Spelled out here rather than taken from the code under test, so that a
// wrong key path there cannot go unnoticed.
constexpr const char* kAppPathsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox";
constexpr const char* kAppPathsExeKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox.exe";
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string ExceptionMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no exception)";
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Every test starts with no App Paths entry of the application and leaves
// the three values it may touch as they were.
class DefaultInstallDir : public testing::Test {
 protected:
  void SetUp() override {
    DeleteValue(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path");
    DeleteValue(HKEY_LOCAL_MACHINE, kAppPathsExeKey, "Path");
  }

  SavedValue withoutExe_{HKEY_LOCAL_MACHINE, kAppPathsKey, "Path"};
  SavedValue withExe_{HKEY_LOCAL_MACHINE, kAppPathsExeKey, "Path"};
  SavedValue programFiles_{HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir"};
};

TEST_F(DefaultInstallDir, AppPathsWithoutExeWinsOverTheOneWithExe) {
  StoreString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path", "D:\\First");
  StoreString(HKEY_LOCAL_MACHINE, kAppPathsExeKey, "Path", "D:\\Second");
  EXPECT_EQ(GetDefaultInstallDir(windows), "D:\\First");
}

TEST_F(DefaultInstallDir, EarlierInstallationIsOfferedExactlyAsTyped) {
  StoreString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path", "");  // empty counts as missing
  StoreString(HKEY_LOCAL_MACHINE, kAppPathsExeKey, "Path", "D:\\Earlier Place\\");
  EXPECT_EQ(GetDefaultInstallDir(windows), "D:\\Earlier Place\\");
}

TEST_F(DefaultInstallDir, FallsBackToProgramFilesFolder) {
  StoreString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", "C:\\Program Files");
  EXPECT_EQ(GetDefaultInstallDir(windows), "C:\\Program Files\\TAV Quillbox");
  StoreString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", "C:\\Progs\\");
  EXPECT_EQ(GetDefaultInstallDir(windows), "C:\\Progs\\\\TAV Quillbox");
}

TEST_F(DefaultInstallDir, NothingReadableGivesTheBareFolderName) {
  DeleteValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir");
  EXPECT_EQ(GetDefaultInstallDir(windows), "\\TAV Quillbox");
}

TEST_F(DefaultInstallDir, NumericProgramFilesDirIsAnInvalidDataType) {
  const DWORD number = 42;
  StoreValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", REG_DWORD,
             std::string(reinterpret_cast<const char*>(&number), sizeof number));
  EXPECT_EQ(ExceptionMessage([] { GetDefaultInstallDir(windows); }),
            "Invalid data type for 'ProgramFilesDir'");
}

// The fault mended: asking for full access to merely read made an ordinary
// user, who may not write HKEY_LOCAL_MACHINE, see "\TAV Quillbox".
TEST_F(DefaultInstallDir, ReadsKeysTheUserMayNotWrite) {
  StoreString(HKEY_LOCAL_MACHINE, kAppPathsExeKey, "Path", "D:\\Installed");
  StoreString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", "C:\\Program Files");
  ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kAppPathsExeKey);
  ASSERT_TRUE(readOnly.Denied()) << "the registry does not enforce the key's access list";
  EXPECT_EQ(GetDefaultInstallDir(windows), "D:\\Installed");
}

// Values of a key of the test's own, removed again.
class RegistryString : public testing::Test {
 protected:
  static constexpr const char* kKey = "Software\\TAV sysint read test";
  void TearDown() override { DeleteKeyTree(HKEY_CURRENT_USER, kKey); }
  static std::string Read(const std::string& name) {
    return ReadRegString(windows, RegistryRoot::CurrentUser, kKey, name);
  }
};

TEST_F(RegistryString, AbsentKeyOrValueIsEmptyText) {
  EXPECT_EQ(ReadRegString(windows, RegistryRoot::CurrentUser, "Software\\TAV sysint no such key", "x"), "");
  StoreString(HKEY_CURRENT_USER, kKey, "present", "value");
  EXPECT_EQ(Read("absent"), "");
  EXPECT_EQ(Read("present"), "value");
}

TEST_F(RegistryString, TextEndsAtTheFirstNulOrAtTheDataEnd) {
  StoreValue(HKEY_CURRENT_USER, kKey, "embedded", REG_SZ, std::string("ab\0cd\0", 6));
  StoreValue(HKEY_CURRENT_USER, kKey, "unterminated", REG_SZ, "abc");
  EXPECT_EQ(Read("embedded"), "ab");
  EXPECT_EQ(Read("unterminated"), "abc");
}

TEST_F(RegistryString, ExpandableValueIsReturnedAsStored) {
  StoreValue(HKEY_CURRENT_USER, kKey, "expand", REG_EXPAND_SZ,
             std::string("%SystemRoot%\\x\0", 16));
  EXPECT_EQ(Read("expand"), "%SystemRoot%\\x");
}

TEST_F(RegistryString, DefaultValueByEmptyName) {
  StoreString(HKEY_CURRENT_USER, kKey, "", "default");
  EXPECT_EQ(Read(""), "default");
}

TEST_F(RegistryString, OtherTypesAreRefusedUnlessEmpty) {
  StoreValue(HKEY_CURRENT_USER, kKey, "binary", REG_BINARY, "xy");
  StoreValue(HKEY_CURRENT_USER, kKey, "none", REG_BINARY, "");
  EXPECT_EQ(ExceptionMessage([] { Read("binary"); }), "Invalid data type for 'binary'");
  EXPECT_EQ(Read("none"), "");
}

TEST(WindowsFolder, EndsInBackslash) {
  EXPECT_STRCASEEQ(GetWindowsFolder(windows).c_str(), "C:\\windows\\");
}

std::string KnownFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return "?";
  return path;
}

TEST(ShellFolder, ProgramsAndDesktopAreThePrefixFolders) {
  const std::string programs = GetShellFolder(windows, "Programs");
  const std::string desktop = GetShellFolder(windows, "Desktop");
  EXPECT_STRCASEEQ(programs.c_str(), (KnownFolder(CSIDL_PROGRAMS) + "\\").c_str());
  EXPECT_STRCASEEQ(desktop.c_str(), (KnownFolder(CSIDL_DESKTOPDIRECTORY) + "\\").c_str());
  EXPECT_TRUE(IsFolder(programs)) << programs;
  EXPECT_TRUE(IsFolder(desktop)) << desktop;
}

TEST(ShellFolder, ValueEndingInBackslashGetsASecondOne) {
  SavedValue saved(HKEY_CURRENT_USER, kShellFoldersKey, "TAV sysint test");
  StoreString(HKEY_CURRENT_USER, kShellFoldersKey, "TAV sysint test", "C:\\Somewhere\\");
  EXPECT_EQ(GetShellFolder(windows, "TAV sysint test"), "C:\\Somewhere\\\\");
}

TEST(ShellFolder, MissingEntryFallsBackToTheWindowsFolder) {
  SavedValue saved(HKEY_CURRENT_USER, kShellFoldersKey, "TAV sysint test");
  DeleteValue(HKEY_CURRENT_USER, kShellFoldersKey, "TAV sysint test");
  EXPECT_EQ(GetShellFolder(windows, "TAV sysint test"), GetWindowsFolder(windows) + "TAV sysint test\\");
  StoreString(HKEY_CURRENT_USER, kShellFoldersKey, "TAV sysint test", "");
  EXPECT_EQ(GetShellFolder(windows, "TAV sysint test"), GetWindowsFolder(windows) + "TAV sysint test\\");
}

}  // namespace
