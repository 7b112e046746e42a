// The real setup program end to end under Wine, worked through its windows
// as a user works them: an install with the default options that is then
// used and removed, an install over an earlier one, and every way an
// install can fail, each with the exact box shown and what is left on disk
// and in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <imagehlp.h>
#include <shellapi.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "quillbox/tests/StandInWindow.h"
#include "setup/ProgramCheck_win.h"
#include "setup/driver/SetupRun_win.h"
#include "setup/tests/StoryPaths.h"
#include "sysint/InstallLayout.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "sysint/tests/TestRegistry_win.h"
#include "sysint/tests/TestShellLink_win.h"
#include "testsupport/TopLevelWindow_win.h"

namespace {

Win32System windows;

namespace fs = std::filesystem;

constexpr char kTitle[] = "TAV Quillbox Setup";
constexpr char kInstalled[] = "TAV Quillbox installed.";

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> FilesIn(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) names.insert(entry.path().filename().string());
  return names;
}

std::string TemporaryFolder() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return folder;
}

// Every file the installation writes, and the file of the build it must
// equal byte for byte.
std::vector<std::pair<std::string, std::string>> ExpectedFiles() {
  std::vector<std::pair<std::string, std::string>> files = {
      {"zipdll.dll", std::string(kCarriedFolder) + "/zipdll.dll"},
      {"unzdll.dll", std::string(kCarriedFolder) + "/unzdll.dll"}};
  for (const ArchiveMember& member : kArchiveMembers) files.emplace_back(member.name, member.file);
  return files;
}

std::set<std::string> ExpectedNames() {
  std::set<std::string> names;
  for (const auto& [name, file] : ExpectedFiles()) names.insert(name);
  return names;
}

bool NoInstallationRegistered() {
  return !KeyExists(HKEY_LOCAL_MACHINE, kAppPathsExeKey) && !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) &&
         !KeyExists(HKEY_LOCAL_MACHINE, kProductKey) && !KeyExists(HKEY_CURRENT_USER, kProductKey) &&
         !KeyExists(HKEY_CLASSES_ROOT, kDocumentExtension) && !KeyExists(HKEY_CLASSES_ROOT, kDocumentType);
}

// Each test in folders of its own: the destinations below one folder, the
// setup program's temporary files in another. Whatever a test leaves of an
// installation is removed afterwards.
class InstallStory : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    root_ = fs::path("C:\\") / ("TAV story " + name);
    temp_ = fs::path(TemporaryFolder()) / ("tav-story-temp-" + name);
    fs::remove_all(root_);
    fs::remove_all(temp_);
    fs::create_directories(temp_);
    programsLink_ = ShortcutFile(GetShellFolder(windows, "Programs"));
    desktopLink_ = ShortcutFile(GetShellFolder(windows, "Desktop"));
    Unregister();
  }
  void TearDown() override {
    Unregister();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    fs::remove_all(temp_, ignored);
  }

  static void Unregister() {
    for (const char* key : {kAppPathsExeKey, kAppPathsKey, kUninstallKey, kProductKey})
      DeleteKeyTree(HKEY_LOCAL_MACHINE, key);
    DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
    DeleteKeyTree(HKEY_CLASSES_ROOT, kDocumentExtension);
    DeleteKeyTree(HKEY_CLASSES_ROOT, kDocumentType);
    DeleteFileA(ShortcutFile(GetShellFolder(windows, "Programs")).c_str());
    DeleteFileA(ShortcutFile(GetShellFolder(windows, "Desktop")).c_str());
  }

  // Runs program, installs into destination with the options as the window
  // offers them, and answers every box it shows with Enter; returns the
  // boxes in order. The program must end with exit code 0.
  std::vector<SetupBox> Install(const std::string& destination, const char* program = kSetupProgram) {
    SetupRun run(program, temp_.string() + "\\");
    EXPECT_TRUE(run.Started()) << program;
    std::vector<SetupBox> boxes;
    if (!run.Started() || run.WaitForMainWindow() == nullptr) {
      ADD_FAILURE() << "no main window";
      return boxes;
    }
    run.SetDestination(destination);
    run.ClickInstall();
    for (SetupBox box = run.WaitForBox(); box.Window != nullptr; box = run.WaitForBox()) {
      // Whatever the box says, the main window is gone by the time of the last one.
      boxes.push_back(box);
      SetupRun::PressEnter(box);
    }
    EXPECT_EQ(run.WaitForExit(), 0u);
    EXPECT_EQ(FilesIn(temp_), std::set<std::string>{}) << "temporary files left behind";
    return boxes;
  }

  // The one box a failed install shows last: the error box with this text
  // (the error icon is the window layer's tests' to see).
  static void ExpectErrorBox(const SetupBox& box, const std::string& text) {
    EXPECT_EQ(box.Caption, kTitle);
    EXPECT_EQ(box.Text, text);
    EXPECT_TRUE(box.Icon) << box.Text;
    EXPECT_EQ(box.Buttons, std::vector<std::string>{"OK"});
  }

  void ExpectInstalledIn(const fs::path& folder) const {
    EXPECT_EQ(FilesIn(folder), ExpectedNames());
    for (const auto& [name, file] : ExpectedFiles())
      EXPECT_TRUE(Bytes(folder / name) == Bytes(file)) << name << " differs from " << file;
  }

  void ExpectRegisteredFor(const std::string& d) const {
    EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kAppPathsExeKey, ""), ProgramPath(d));
    EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kAppPathsExeKey, "Path"), d);
    EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "TAV Quillbox");
    EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), UninstallCommand(d));
    EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kProductKey, "InstalledVersion"), "2.1.1");
    EXPECT_EQ(StoredString(HKEY_CURRENT_USER, kProductKey, "InstalledVersion"), "2.1.1");
    EXPECT_EQ(StoredString(HKEY_CLASSES_ROOT, kDocumentExtension, ""), "TAV file");
    EXPECT_EQ(StoredString(HKEY_CLASSES_ROOT, kDocumentType, ""), "TAV Quillbox");
    EXPECT_EQ(StoredString(HKEY_CLASSES_ROOT, std::string(kDocumentType) + "\\Shell\\Open\\command", ""),
              OpenCommand(ProgramPath(d)));
    EXPECT_EQ(StoredString(HKEY_CLASSES_ROOT, std::string(kDocumentType) + "\\DefaultIcon", ""),
              IconValue(ProgramPath(d), 1));
    const std::optional<LinkFields> link = ReadLink(programsLink_);
    ASSERT_TRUE(link.has_value()) << programsLink_;
    EXPECT_EQ(link->Target, ProgramPath(d));
    EXPECT_EQ(link->Arguments, "");
    EXPECT_EQ(link->WorkingFolder, d + "\\");
    EXPECT_EQ(link->Description, "TAV Quillbox");
    EXPECT_FALSE(FileExists(desktopLink_)) << "the Desktop option is off";
  }

  fs::path root_;
  fs::path temp_;
  std::string programsLink_;
  std::string desktopLink_;
};

TEST_F(InstallStory, DefaultOptionsIntoANewNestedFolderThenUsedAndRemoved) {
  const std::string d = (root_ / "Program Files" / "TAV Quillbox").string();
  SetupRun run(kSetupProgram, temp_.string() + "\\");
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  RECT before{};
  GetWindowRect(main, &before);
  run.SetDestination(d);
  run.ClickInstall();

  const SetupBox box = run.WaitForBox();
  ASSERT_NE(box.Window, nullptr);
  EXPECT_FALSE(IsWindowVisible(main)) << "hidden before the box";
  RECT after{};
  GetWindowRect(main, &after);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 12) << "grown by the progress bar";
  EXPECT_EQ(box.Caption, "Information");
  EXPECT_EQ(box.Text, kInstalled);
  EXPECT_TRUE(box.Icon);
  EXPECT_EQ(box.Buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(box.DefaultButton, "OK");
  const int screenMiddle = GetSystemMetrics(SM_CXSCREEN) / 2;
  EXPECT_NEAR((box.Bounds.left + box.Bounds.right) / 2, screenMiddle, 2) << "centred on the screen";
  // OK is the cancel button as well.
  SetupRun::PressEscape(box);
  EXPECT_EQ(run.WaitForBox(5000).Window, nullptr) << "no second box";
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_EQ(FilesIn(temp_), std::set<std::string>{}) << "its temporary files go with the program";

  ExpectInstalledIn(d);
  ExpectRegisteredFor(d);

  // The sample card file opens in the installed program through the ".tav"
  // association.
  const std::string sample = d + "\\Sample.tav";
  SHELLEXECUTEINFOA open{};
  open.cbSize = sizeof open;
  open.fMask = SEE_MASK_NOCLOSEPROCESS;
  open.lpFile = sample.c_str();
  open.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExA(&open));
  ASSERT_NE(open.hProcess, nullptr);
  const std::string shown = WaitForStandInText(open.hProcess);
  EXPECT_NE(shown.find("Document: " + sample + "\r\nThe document exists."), std::string::npos) << shown;
  char started[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  QueryFullProcessImageNameA(open.hProcess, 0, started, &length);
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, started, -1, ProgramPath(d).c_str(), -1), CSTR_EQUAL)
      << started;
  EXPECT_TRUE(CloseStandIn(open.hProcess));
  CloseHandle(open.hProcess);

  // Removed as Windows removes it: the registered command, a yes, a report.
  const std::optional<std::string> command = StoredString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
  ASSERT_TRUE(command.has_value());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION uninstaller{};
  std::string commandLine = *command;
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &uninstaller))
      << commandLine;
  CloseHandle(uninstaller.hThread);
  HWND question = WaitForTopLevelWindow({0, "TAV Quillbox Uninstall", nullptr}, 60000);
  ASSERT_NE(question, nullptr);
  const SetupBox asked = SetupRun::ReadBox(question);
  EXPECT_EQ(asked.Text, "Remove TAV Quillbox and all of its components?");
  SetupRun::Click(asked, "Yes");
  WaitForSingleObject(uninstaller.hProcess, 60000);
  CloseHandle(uninstaller.hProcess);
  HWND report = nullptr;
  for (int i = 0; i < 3000 && report == nullptr; ++i) {
    HWND found = FindTopLevelWindow({0, "TAV Quillbox Uninstall", nullptr});
    if (found != nullptr && found != question) report = found;
    Sleep(20);
  }
  ASSERT_NE(report, nullptr);
  const SetupBox removed = SetupRun::ReadBox(report);
  EXPECT_EQ(removed.Text, "TAV Quillbox was removed.");
  SetupRun::PressEnter(removed);
  for (int i = 0; i < 500 && fs::exists(d); ++i) Sleep(20);
  EXPECT_FALSE(fs::exists(d)) << "the folder goes with the last file";
  EXPECT_TRUE(NoInstallationRegistered());
  EXPECT_FALSE(FileExists(programsLink_));
}

TEST_F(InstallStory, ASecondInstallIntoTheSameFolderRestoresEveryFile) {
  const std::string d = (root_ / "Quillbox").string();
  std::vector<SetupBox> boxes = Install(d);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, kInstalled);
  // Damage a library and a member; a user's own card file stays.
  std::ofstream(fs::path(d) / "unzdll.dll", std::ios::binary | std::ios::trunc) << "damaged";
  std::ofstream(fs::path(d) / "ReadMe.txt", std::ios::binary | std::ios::trunc) << "damaged";
  std::ofstream(fs::path(d) / "mine.tav", std::ios::binary) << "my cards";

  boxes = Install(d);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, kInstalled);
  std::set<std::string> names = ExpectedNames();
  names.insert("mine.tav");
  EXPECT_EQ(FilesIn(d), names);
  for (const auto& [name, file] : ExpectedFiles()) EXPECT_TRUE(Bytes(fs::path(d) / name) == Bytes(file)) << name;
  EXPECT_EQ(Bytes(fs::path(d) / "mine.tav"), "my cards");
  ExpectRegisteredFor(d);
}

TEST_F(InstallStory, DestinationsThatAreNoFolderEndInTheErrorBox) {
  fs::create_directories(root_);
  const fs::path file = root_ / "a card file.tav";
  std::ofstream(file, std::ios::binary) << "cards";
  struct Case {
    std::string destination;
    std::string text;  // the error box's; ending in ": " when the system's reason follows
  };
  const Case cases[] = {
      {"", "Unable to create directory."},
      {"QuillboxWithoutAFolder", "Unable to create directory."},
      {file.string(), "Unable to create directory " + file.string() + ": "},
  };
  for (const Case& c : cases) {
    const std::vector<SetupBox> boxes = Install(c.destination);
    ASSERT_EQ(boxes.size(), 1u) << c.destination;
    if (c.text.back() == ' ') {
      EXPECT_EQ(boxes[0].Text.substr(0, c.text.size()), c.text);
      EXPECT_GT(boxes[0].Text.size(), c.text.size() + 1) << boxes[0].Text;
      EXPECT_EQ(boxes[0].Text.back(), '.');
      ExpectErrorBox(boxes[0], boxes[0].Text);
    } else {
      ExpectErrorBox(boxes[0], c.text);
    }
    EXPECT_TRUE(NoInstallationRegistered()) << c.destination;
  }
  EXPECT_EQ(Bytes(file), "cards");
  EXPECT_EQ(FilesIn(root_), std::set<std::string>{"a card file.tav"});
  EXPECT_FALSE(fs::exists("QuillboxWithoutAFolder"));
}

TEST_F(InstallStory, ADamagedCarriedArchiveInstallsNothingOfIt) {
  // A test build whose carried archive lost every local header (a copy
  // damaged after the build does not start at all).
  const std::string d = (root_ / "Quillbox").string();
  const std::vector<SetupBox> boxes = Install(d, kNoHeadersSetupProgram);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].Caption, kTitle);
  EXPECT_EQ(boxes[0].Text, "No valid zip entries found") << "the archive component's own box";
  ExpectErrorBox(boxes[1], "Unable to read the application archive: it lists no files to install.");
  EXPECT_EQ(FilesIn(d), (std::set<std::string>{"unzdll.dll", "zipdll.dll"}));
  EXPECT_TRUE(NoInstallationRegistered());
}

TEST_F(InstallStory, AMemberThatFailsItsCheckLeavesNothingOfItself) {
  const fs::path d = root_ / "Quillbox";
  fs::create_directories(d);
  std::ofstream(d / "Sample.tav", std::ios::binary) << "the user's own sample";
  const std::vector<SetupBox> boxes = Install(d.string(), kBadCrcSetupProgram);
  ASSERT_EQ(boxes.size(), 1u);
  ExpectErrorBox(boxes[0],
                 "Only 7 of the 8 files in the application archive were installed (Sample.tav: not extracted, "
                 "CRC-32 error (the data is damaged))");
  EXPECT_EQ(FilesIn(d), ExpectedNames()) << "no partial file beside the others";
  EXPECT_EQ(Bytes(d / "Sample.tav"), "the user's own sample");
  EXPECT_TRUE(NoInstallationRegistered());
}

TEST_F(InstallStory, ATemporaryFolderTooLongIsAStartupErrorNotAFileElsewhere) {
  const std::string tooLong = temp_.string() + "\\" + std::string(250, 'x') + "\\";
  SetupRun run(kSetupProgram, tooLong);
  const SetupBox box = run.WaitForBox();
  ASSERT_NE(box.Window, nullptr);
  EXPECT_EQ(box.Caption, "Application Error");
  // Wine itself refuses so long a folder and reports none.
  EXPECT_TRUE(box.Text.find("The folder for temporary files is longer than 260 characters: " + tooLong) !=
                  std::string::npos ||
              box.Text.find("The system names no folder for temporary files") != std::string::npos)
      << box.Text;
  SetupRun::PressEnter(box);
  EXPECT_EQ(run.WaitForExit(), 1u);
  EXPECT_EQ(FilesIn(temp_), std::set<std::string>{});
}

// Where one byte of each part of the program file stands: its code, its
// resources, the files it carries, and the checksum itself.
std::vector<std::pair<std::string, std::size_t>> PartsOf(const std::string& image) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
  std::vector<std::pair<std::string, std::size_t>> parts;
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    const std::string name(reinterpret_cast<const char*>(section->Name), strnlen(reinterpret_cast<const char*>(section->Name), 8));
    if (name == ".text") parts.emplace_back("code", section->PointerToRawData + section->SizeOfRawData / 2);
    if (name == ".rsrc") parts.emplace_back("resources", section->PointerToRawData + 8);
  }
  const std::string archive = Bytes(std::string(kCarriedFolder) + "/quillbox.zip");
  parts.emplace_back("carried files", image.find(archive.substr(0, 4096)) + 100);
  parts.emplace_back("checksum", static_cast<std::size_t>(dos->e_lfanew) + offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                                     offsetof(IMAGE_OPTIONAL_HEADER, CheckSum));
  return parts;
}

TEST_F(InstallStory, ADamagedDownloadRefusesToStartAndWritesNothing) {
  DWORD stored = 0;
  DWORD computed = 0;
  ASSERT_EQ(MapFileAndCheckSumA(kSetupProgram, &stored, &computed), static_cast<DWORD>(CHECKSUM_SUCCESS));
  EXPECT_NE(stored, 0u) << "the build sets the checksum";
  EXPECT_EQ(stored, computed) << "as the system computes it";

  const std::string image = Bytes(kSetupProgram);
  const auto parts = PartsOf(image);
  ASSERT_EQ(parts.size(), 4u);
  for (const auto& [part, at] : parts) {
    ASSERT_LT(at, image.size()) << part;
    std::string damaged = image;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
    const std::string program = (temp_.parent_path() / "tav-damaged-download.exe").string();
    std::ofstream(program, std::ios::binary | std::ios::trunc) << damaged;
    {
      SetupRun run(program, temp_.string() + "\\");
      const SetupBox box = run.WaitForBox();
      ASSERT_NE(box.Window, nullptr) << part;
      EXPECT_EQ(box.Caption, "Application Error") << part;
      EXPECT_NE(box.Text.find(kDamagedProgram), std::string::npos) << part << ": " << box.Text;
      EXPECT_EQ(FindTopLevelWindow({GetProcessId(run.Process()), "TAV Quillbox One Step Install", nullptr}), nullptr);
      SetupRun::PressEnter(box);
      EXPECT_EQ(run.WaitForExit(), 1u) << part;
    }
    EXPECT_EQ(FilesIn(temp_), std::set<std::string>{}) << part << ": nothing written, not even a temporary file";
    DeleteFileA(program.c_str());
  }
}

TEST_F(InstallStory, AFullDiskStopsTheInstallPartWay) {
  if (!fs::exists(std::string(kFullDrive) + "\\")) GTEST_SKIP() << "no small drive could be mounted";
  const fs::path d = fs::path(std::string(kFullDrive) + "\\") / "TAV Quillbox";
  const std::vector<SetupBox> boxes = Install(d.string());
  ASSERT_EQ(boxes.size(), 1u);
  const std::string prefix = "Only ";
  EXPECT_EQ(boxes[0].Text.substr(0, prefix.size()), prefix) << boxes[0].Text;
  EXPECT_NE(boxes[0].Text.find(" of the 8 files in the application archive were installed ("), std::string::npos)
      << boxes[0].Text;
  ExpectErrorBox(boxes[0], boxes[0].Text);
  // What is there is whole; what is not is not there at all.
  const std::set<std::string> left = FilesIn(d);
  EXPECT_LT(left.size(), ExpectedNames().size());
  EXPECT_TRUE(left.count("zipdll.dll") && left.count("unzdll.dll"));
  for (const auto& [name, file] : ExpectedFiles()) {
    if (left.count(name) != 0) {
      EXPECT_TRUE(Bytes(d / name) == Bytes(file)) << name;
    }
  }
  for (const std::string& name : left) EXPECT_EQ(ExpectedNames().count(name), 1u) << name << " is no installed file";
  EXPECT_TRUE(NoInstallationRegistered());
  std::error_code ignored;
  fs::remove_all(d, ignored);
}

}  // namespace
