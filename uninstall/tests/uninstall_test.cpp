// uninstall.exe for real under Wine, after a registration made by
// RegisterInstallation into a throw-away folder: it removes what was
// registered and installed, keeps what the user added and what belongs to
// another program, and a second run does no harm.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sysint/InstallLayout.h"
#include "sysint/install.h"
#include "uninstall/Report.h"
#include "testsupport/TopLevelWindow_win.h"
#include "uninstall/tests/BuildPaths.h"

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr DWORD kPollMs = 50;
const char* const kInstalledFiles[] = {"zipdll.dll", "unzdll.dll", "TAV Quillbox.exe", "uninstall.exe", "ReadMe.txt"};
const std::string kOpenCommandKey = std::string(kDocumentType) + "\\Shell\\Open\\command";
constexpr const char* kPendingKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingValue = "PendingFileRenameOperations";

std::string TemporaryFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return temp;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The entries of the list of files Windows deletes when it next starts.
std::vector<std::string> PendingDeletions() {
  HKEY key = nullptr;
  std::vector<std::string> entries;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPendingKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return entries;
  DWORD size = 0;
  DWORD type = 0;
  if (RegQueryValueExA(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<char> data(size + 2, '\0');
    RegQueryValueExA(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    for (const char* entry = data.data(); entry < data.data() + size; entry += std::strlen(entry) + 1) {
      entries.emplace_back(entry);
    }
  }
  RegCloseKey(key);
  return entries;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str() + text.size() - end.size(),
                        static_cast<int>(end.size()), end.c_str(), static_cast<int>(end.size())) == CSTR_EQUAL;
}

// The uninstaller's message box (processId 0: any process's), once it is on the screen.
HWND WaitForBox(DWORD processId) {
  return WaitForTopLevelWindow({processId, "TAV Quillbox Uninstall", nullptr}, kWaitMs);
}

BOOL CALLBACK CollectText(HWND control, LPARAM lParam) {
  char text[512] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kWaitMs,
                      &ignored);
  *reinterpret_cast<std::string*>(lParam) += std::string(text) + "\n";
  return TRUE;
}

// The texts of a window's controls, one a line.
std::string ControlTexts(HWND window) {
  std::string texts;
  EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// One installation in a folder of its own under the temporary folder: the
// built programs and stand-ins for the other files, registered with every
// option. Whatever a test leaves is removed afterwards.
class Installation : public testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    const std::string unique = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    folder_ = TemporaryFolder() + "tav uninstall " + unique;
    report_ = TemporaryFolder() + "tav uninstall report " + unique + ".txt";
    programsLink_ = ShortcutFile(GetShellFolder("Programs"));
    desktopLink_ = ShortcutFile(GetShellFolder("Desktop"));
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    PutInstalledFiles();
  }

  void TearDown() override {
    for (const char* name : kInstalledFiles) DeleteFileA(InFolder(name).c_str());
    for (const std::string& file : extraFiles_) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder_.c_str());
    DeleteFileA(report_.c_str());
  }

  void PutInstalledFiles() {
    ASSERT_TRUE(CopyFileA(kBuiltUninstaller, InFolder("uninstall.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(kBuiltQuillbox, InFolder("TAV Quillbox.exe").c_str(), FALSE));
    for (const char* name : {"zipdll.dll", "unzdll.dll", "ReadMe.txt"}) WriteFile(InFolder(name), name);
  }

  std::string InFolder(const std::string& name) const { return folder_ + "\\" + name; }

  std::string UserFile(const std::string& name) {
    const std::string path = InFolder(name);
    WriteFile(path, "the user's own");
    extraFiles_.push_back(path);
    return path;
  }

  // Runs the installed uninstaller silently; its report once the temporary
  // copy that does the work has written it. The copy's file, left for
  // Windows to delete at its next start, is checked for that and removed.
  std::string RunUninstaller() {
    DeleteFileA(report_.c_str());
    const PROCESS_INFORMATION process = StartUninstaller(" /S \"/REPORT=" + report_ + "\"");
    if (process.hProcess == nullptr) return {};
    EXPECT_EQ(WaitForSingleObject(process.hProcess, kWaitMs), WAIT_OBJECT_0);
    CloseHandle(process.hProcess);
    std::string report;
    for (DWORD waited = 0; waited < kWaitMs && (report = ReadFile(report_)).empty(); waited += kPollMs) {
      Sleep(kPollMs);
    }
    EXPECT_FALSE(report.empty()) << "no report from the temporary copy";
    ForgetTemporaryCopy(process.dwProcessId);
    return report;
  }

  // The installed uninstaller, started as Windows' list of programs starts
  // it, with arguments appended to its quoted path.
  PROCESS_INFORMATION StartUninstaller(const std::string& arguments) {
    const std::string program = InFolder("uninstall.exe");
    std::string commandLine = "\"" + program + "\"" + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
      ADD_FAILURE() << "cannot start " << program;
      return {};
    }
    CloseHandle(process.hThread);
    return process;
  }

  static std::string TemporaryCopyName(DWORD originalId) {
    char name[32] = {};
    wsprintfA(name, "~tavuninst%lx.exe", static_cast<unsigned long>(originalId));
    return name;
  }

  void ForgetTemporaryCopy(DWORD originalId) {
    const std::string name = TemporaryCopyName(originalId);
    const std::string copy = TemporaryFolder() + name;
    // The copy schedules its file's deletion and ends: then its file can go.
    for (DWORD waited = 0; waited < kWaitMs && Exists(copy) && !DeleteFileA(copy.c_str()); waited += kPollMs) {
      Sleep(kPollMs);
    }
    bool scheduled = false;
    for (const std::string& entry : PendingDeletions()) scheduled |= EndsWithIgnoringCase(entry, name);
    EXPECT_TRUE(scheduled) << copy << " is not scheduled for deletion";
    EXPECT_FALSE(Exists(copy));
  }

  std::string folder_;
  std::string report_;
  std::string programsLink_;
  std::string desktopLink_;
  std::vector<std::string> extraFiles_;
};

TEST_F(Installation, AsksFirstAndNoLeavesEverything) {
  RegisterInstallation(folder_, false, false, false);
  const PROCESS_INFORMATION process = StartUninstaller("");
  ASSERT_NE(process.hProcess, nullptr);

  HWND box = WaitForBox(process.dwProcessId);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(ControlTexts(box).find("Remove TAV Quillbox and all of its components?\n"), std::string::npos)
      << ControlTexts(box);
  PostMessageA(box, WM_COMMAND, IDNO, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, kWaitMs), WAIT_OBJECT_0);
  CloseHandle(process.hProcess);

  EXPECT_FALSE(Exists(TemporaryFolder() + TemporaryCopyName(process.dwProcessId)));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  for (const char* name : kInstalledFiles) EXPECT_TRUE(Exists(InFolder(name))) << name;
  // This test's registration is removed as a user would: saying yes.
  EXPECT_EQ(RunUninstaller(), kRemovedMessage);
}

TEST_F(Installation, AsksThenRemovesAndSaysSoInABox) {
  RegisterInstallation(folder_, true, false, false);
  const PROCESS_INFORMATION process = StartUninstaller("");
  ASSERT_NE(process.hProcess, nullptr);
  HWND question = WaitForBox(process.dwProcessId);
  ASSERT_NE(question, nullptr);
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, kWaitMs), WAIT_OBJECT_0);
  CloseHandle(process.hProcess);

  // The report comes from the temporary copy, a process of its own.
  HWND report = WaitForBox(0);
  ASSERT_NE(report, nullptr);
  EXPECT_NE(ControlTexts(report).find(std::string(kRemovedMessage) + "\n"), std::string::npos) << ControlTexts(report);
  PostMessageA(report, WM_COMMAND, IDOK, 0);
  ForgetTemporaryCopy(process.dwProcessId);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kDocumentType));
  EXPECT_FALSE(Exists(folder_));
}

TEST_F(Installation, RemovesEverythingRegisteredAndInstalledAndTheFolder) {
  RegisterInstallation(folder_ + "\\", true, true, true);  // typed with a "\": doubled in the registry
  ASSERT_TRUE(Exists(programsLink_));
  ASSERT_TRUE(Exists(desktopLink_));
  ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kOpenCommandKey));

  EXPECT_EQ(RunUninstaller(), kRemovedMessage);

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
  RegisterInstallation(folder_, false, true, false);
  const std::string notes = UserFile("my notes.txt");
  const std::string nearName = UserFile("zipdll.dll.old");  // a listed name's neighbour is no listed file

  const std::string first = RunUninstaller();
  EXPECT_NE(first.find("The folder " + folder_ + " was kept"), std::string::npos) << first;
  EXPECT_EQ(first.find("could not be removed"), std::string::npos) << first;
  EXPECT_TRUE(first.ends_with(kRemovedMessage));
  EXPECT_TRUE(Exists(notes));
  EXPECT_TRUE(Exists(nearName));
  EXPECT_FALSE(Exists(programsLink_));
  for (const char* name : kInstalledFiles) EXPECT_FALSE(Exists(InFolder(name))) << name;

  // The same uninstaller once more, with nothing of the installation left.
  ASSERT_TRUE(CopyFileA(kBuiltUninstaller, InFolder("uninstall.exe").c_str(), FALSE));
  EXPECT_EQ(RunUninstaller(), first);
  EXPECT_TRUE(Exists(notes));
  EXPECT_FALSE(Exists(InFolder("uninstall.exe")));
}

TEST_F(Installation, ReportsAFileInUseAndRemovesTheRest) {
  RegisterInstallation(folder_, false, false, false);
  const std::string readMe = InFolder("ReadMe.txt");
  // Open, shared with no one who would delete it: as a viewer may hold it.
  HANDLE inUse = CreateFileA(readMe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);

  const std::string report = RunUninstaller();
  CloseHandle(inUse);

  EXPECT_NE(report.find("These items could not be removed:\r\n    " + readMe + "\r\n    " + folder_ + "\r\n"),
            std::string::npos)
      << report;
  EXPECT_TRUE(report.ends_with(kRemovedMessage));
  EXPECT_TRUE(Exists(readMe));
  EXPECT_FALSE(Exists(InFolder("zipdll.dll")));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Installation, LeavesShortcutsAndAnAssociationOfAnotherProgram) {
  RegisterInstallation(folder_, false, false, false);
  const std::string other = TemporaryFolder() + "another program\\Other.exe";
  // The other program's shortcuts and association are this test's to remove.
  struct OtherProgramsEntries {
    const std::string& programsLink;
    const std::string& desktopLink;
    ~OtherProgramsEntries() {
      DeleteFileA(programsLink.c_str());
      DeleteFileA(desktopLink.c_str());
      RegDeleteTreeA(HKEY_CLASSES_ROOT, kDocumentExtension);
      RegDeleteTreeA(HKEY_CLASSES_ROOT, kDocumentType);
    }
  } cleanup{programsLink_, desktopLink_};
  CreateShortcut(other, "", programsLink_, kProductName);
  CreateShortcut(other, "", desktopLink_, kProductName);
  AssociateFileType(kDocumentExtension, kDocumentType, kProductName, other, kDocumentIconIndex);
  ASSERT_TRUE(Exists(programsLink_));

  EXPECT_EQ(RunUninstaller(), kRemovedMessage);

  EXPECT_TRUE(Exists(programsLink_));
  EXPECT_TRUE(Exists(desktopLink_));
  EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, kDocumentExtension, ""), kDocumentType);
  EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, kOpenCommandKey, ""), OpenCommand(other));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPathsExeKey));
  EXPECT_FALSE(Exists(folder_));
}

}  // namespace
