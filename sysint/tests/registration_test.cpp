// The application's registration, written to the prefix's real registry, and
// its shortcuts in the prefix's real Start Menu and Desktop folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <utility>

#include "TestRegistry_win.h"
#include "TestShellLink_win.h"
#include "base/Exception.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "testsupport/ExceptionMessage.h"

namespace {

Win32System windows;

// Spelled out here rather than taken from the code under test.
constexpr const char* kAppPathsExe =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox.exe";
constexpr const char* kUninstall =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TAV Quillbox";
constexpr const char* kProduct = "SOFTWARE\\TAV Quillbox";

// Starts and ends with none of the registration's keys and shortcuts.
class Registration : public testing::Test {
 protected:
  Registration() { RemoveRegistration(); }
  ~Registration() override { RemoveRegistration(); }

  static void RemoveRegistration() {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsExe);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstall);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kProduct);
    DeleteKeyTree(HKEY_CURRENT_USER, kProduct);
    DeleteKeyTree(HKEY_CLASSES_ROOT, ".tav");
    DeleteKeyTree(HKEY_CLASSES_ROOT, "TAV file");
    DeleteFileA(StartMenuLink().c_str());
    DeleteFileA(DesktopLink().c_str());
  }
  static std::string StartMenuLink() { return GetShellFolder(windows, "Programs") + "TAV Quillbox.lnk"; }
  static std::string DesktopLink() { return GetShellFolder(windows, "Desktop") + "TAV Quillbox.lnk"; }

  static std::optional<std::string> Lm(const char* key, const char* name) {
    return StoredString(HKEY_LOCAL_MACHINE, key, name);
  }
  static std::optional<std::string> Cr(const char* key) {
    return StoredString(HKEY_CLASSES_ROOT, key, "");
  }

  // The six values that every registration writes, for destination d.
  static void ExpectBaseValues(const std::string& d, const std::string& programPath) {
    EXPECT_EQ(Lm(kAppPathsExe, ""), programPath);
    EXPECT_EQ(Lm(kAppPathsExe, "Path"), d);
    EXPECT_EQ(Lm(kUninstall, "DisplayName"), "TAV Quillbox");
    // Quoted, so that no starter takes a path with blanks apart.
    EXPECT_EQ(Lm(kUninstall, "UninstallString"), "\"" + d + "\\UNINSTALL.EXE\"");
    EXPECT_EQ(Lm(kProduct, "InstalledVersion"), "2.1.1");
    EXPECT_EQ(StoredString(HKEY_CURRENT_USER, kProduct, "InstalledVersion"), "2.1.1");
  }

  ScratchFolder destination_{"TAV sysint dest"};
};

TEST_F(Registration, AllOptionsOffWritesExactlyTheSixValues) {
  const std::string d = "C:\\Apps\\TAV Quillbox";
  RegisterInstallation(windows, d, false, false, false);
  ExpectBaseValues(d, "C:\\Apps\\TAV Quillbox\\TAV Quillbox.exe");
  EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kAppPathsExe) +
                ValueCount(HKEY_LOCAL_MACHINE, kUninstall) +
                ValueCount(HKEY_LOCAL_MACHINE, kProduct) + ValueCount(HKEY_CURRENT_USER, kProduct),
            6u);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".tav"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "TAV file"));
  EXPECT_FALSE(FileExists(StartMenuLink()));
  EXPECT_FALSE(FileExists(DesktopLink()));
}

TEST_F(Registration, AssociationKeysCarryTheProgram) {
  RegisterInstallation(windows, "C:\\Apps\\TAV", true, false, false);
  EXPECT_EQ(Cr(".tav"), "TAV file");
  EXPECT_EQ(Cr("TAV file"), "TAV Quillbox");
  EXPECT_EQ(Cr("TAV file\\Shell\\Open\\command"), "\"C:\\Apps\\TAV\\TAV Quillbox.exe\" \"%1\"");
  EXPECT_EQ(Cr("TAV file\\DefaultIcon"), "C:\\Apps\\TAV\\TAV Quillbox.exe,1");
  EXPECT_FALSE(FileExists(StartMenuLink()));
}

// Counts the shell's association-change notifications while it lives. The
// shell sends them to the window (or posts them), so a window of its own counts.
class AssociationListener {
 public:
  static constexpr UINT kNotified = WM_APP + 1;
  AssociationListener() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Count;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TAV sysint listener";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, windowClass.hInstance, nullptr);
    SHChangeNotifyEntry everything{nullptr, TRUE};
    id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel,
                                 SHCNE_ASSOCCHANGED, kNotified, 1, &everything);
    count_ = 0;
  }
  ~AssociationListener() {
    SHChangeNotifyDeregister(id_);
    DestroyWindow(window_);
  }
  AssociationListener(const AssociationListener&) = delete;
  AssociationListener& operator=(const AssociationListener&) = delete;

  // The notifications so far, once those still queued have arrived.
  int Notifications() const {
    MSG message;
    for (int wait = 0; wait < 20; ++wait) {
      while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      Sleep(10);
    }
    return std::exchange(count_, 0);
  }

 private:
  static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kNotified && (static_cast<LONG>(lParam) & SHCNE_ASSOCCHANGED) != 0) ++count_;
    return DefWindowProcA(window, message, wParam, lParam);
  }

  static inline int count_ = 0;
  HWND window_ = nullptr;
  ULONG id_ = 0;
};

TEST_F(Registration, ShellIsToldOfTheAssociationOnly) {
  AssociationListener listener;
  RegisterInstallation(windows, "C:\\Apps", false, false, false);
  EXPECT_EQ(listener.Notifications(), 0);
  RegisterInstallation(windows, "C:\\Apps", true, false, false);
  EXPECT_EQ(listener.Notifications(), 1);
}

TEST_F(Registration, ShortcutsStartTheProgramInItsFolder) {
  const std::string d = destination_.Path() + "My Apps";
  CreateDirectoryA(d.c_str(), nullptr);
  RegisterInstallation(windows, d, false, true, true);
  for (const std::string& link : {StartMenuLink(), DesktopLink()}) {
    const std::optional<LinkFields> fields = ReadLink(link);
    ASSERT_TRUE(fields) << link;
    EXPECT_EQ(fields->Target, d + "\\TAV Quillbox.exe");
    EXPECT_EQ(fields->Arguments, "");
    EXPECT_EQ(fields->WorkingFolder, d + "\\");
    EXPECT_EQ(fields->Description, "TAV Quillbox");
  }
}

TEST_F(Registration, TrailingBackslashDoublesInDerivedPathsOnly) {
  const std::string d = destination_.Path();  // ends in "\"
  const std::string programPath = d + "\\TAV Quillbox.exe";
  RegisterInstallation(windows, d, true, true, false);
  ExpectBaseValues(d, programPath);
  EXPECT_EQ(Cr("TAV file\\Shell\\Open\\command"), "\"" + programPath + "\" \"%1\"");
  EXPECT_EQ(Cr("TAV file\\DefaultIcon"), programPath + ",1");
  const std::optional<LinkFields> fields = ReadLink(StartMenuLink());
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->WorkingFolder, d + "\\");
}

TEST_F(Registration, BlanksAreQuotedOnlyInTheCommands) {
  const std::string d = "C:\\Program Files\\TAV Quillbox";
  const std::string programPath = d + "\\TAV Quillbox.exe";
  RegisterInstallation(windows, d, true, false, false);
  ExpectBaseValues(d, programPath);
  EXPECT_EQ(Cr("TAV file\\Shell\\Open\\command"), "\"" + programPath + "\" \"%1\"");
  EXPECT_EQ(Cr("TAV file\\DefaultIcon"), programPath + ",1");
}

TEST_F(Registration, SecondRunWritesOverTheFirstWithoutDeleting) {
  RegisterInstallation(windows, "C:\\First", true, true, false);
  StoreString(HKEY_LOCAL_MACHINE, kUninstall, "Left by someone", "x");
  RegisterInstallation(windows, "D:\\Second", true, true, false);
  ExpectBaseValues("D:\\Second", "D:\\Second\\TAV Quillbox.exe");
  EXPECT_EQ(Cr("TAV file\\DefaultIcon"), "D:\\Second\\TAV Quillbox.exe,1");
  EXPECT_EQ(Lm(kUninstall, "Left by someone"), "x");
  const std::optional<LinkFields> fields = ReadLink(StartMenuLink());
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->Target, "D:\\Second\\TAV Quillbox.exe");
}

TEST_F(Registration, RefusedFirstWriteStopsEverything) {
  ReadOnlyKey refused(HKEY_LOCAL_MACHINE, kAppPathsExe);
  ASSERT_TRUE(refused.Denied()) << "the registry does not enforce the key's access list";
  EXPECT_EQ(MessageOf([] { RegisterInstallation(windows, "C:\\Apps", true, true, true); }),
            "Failed to set data for ''");
  EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kAppPathsExe), 0u);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProduct));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".tav"));
  EXPECT_FALSE(FileExists(StartMenuLink()));
  EXPECT_FALSE(FileExists(DesktopLink()));
}

TEST_F(Registration, RefusedWriteKeepsWhatCameBeforeAndStopsWhatFollows) {
  ReadOnlyKey refused(HKEY_LOCAL_MACHINE, kUninstall);
  ASSERT_TRUE(refused.Denied());
  EXPECT_EQ(MessageOf([] { RegisterInstallation(windows, "C:\\Apps", true, true, true); }),
            "Failed to set data for 'DisplayName'");
  EXPECT_EQ(Lm(kAppPathsExe, ""), "C:\\Apps\\TAV Quillbox.exe");
  EXPECT_EQ(Lm(kAppPathsExe, "Path"), "C:\\Apps");
  EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kUninstall), 0u);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProduct));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProduct));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".tav"));
  EXPECT_FALSE(FileExists(StartMenuLink()));
}

TEST_F(Registration, RefusedAssociationWriteStopsTheShortcuts) {
  ReadOnlyKey refused(HKEY_CLASSES_ROOT, "TAV file");
  ASSERT_TRUE(refused.Denied());
  EXPECT_EQ(MessageOf([] { RegisterInstallation(windows, "C:\\Apps", true, true, true); }),
            "Error creating system registry entry");
  ExpectBaseValues("C:\\Apps", "C:\\Apps\\TAV Quillbox.exe");
  EXPECT_EQ(Cr(".tav"), "TAV file");
  EXPECT_EQ(ValueCount(HKEY_CLASSES_ROOT, "TAV file"), 0u);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "TAV file\\Shell"));
  EXPECT_FALSE(FileExists(StartMenuLink()));
  EXPECT_FALSE(FileExists(DesktopLink()));
}

}  // namespace
