// The stand-in started as a user or the shell starts it: what its window
// shows, and the ".tav" association taking a document to it end to end.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "quillbox/tests/BuildPaths.h"
#include "quillbox/tests/StandInWindow.h"
#include "sysint/InstallLayout.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"

namespace {

Win32System windows;

HANDLE StartDirectly(const std::string& commandTail) {
  std::string commandLine = std::string("\"") + kBuiltQuillbox + "\"" + commandTail;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(kBuiltQuillbox, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

TEST(QuillboxWindow, StartedWithoutDocumentNamesItsVersion) {
  HANDLE process = StartDirectly("");
  ASSERT_NE(process, nullptr);
  const std::string text = WaitForStandInText(process);
  EXPECT_NE(text.find("TAV Quillbox, version 2.1.1\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Started without a document."), std::string::npos) << text;
  EXPECT_TRUE(CloseStandIn(process));
  CloseHandle(process);
}

TEST(QuillboxWindow, NamesADocumentThatDoesNotExist) {
  HANDLE process = StartDirectly(" \"C:\\no such folder\\lost cards.tav\"");
  ASSERT_NE(process, nullptr);
  const std::string text = WaitForStandInText(process);
  EXPECT_NE(text.find("Document: C:\\no such folder\\lost cards.tav\r\nThe document does not exist."),
            std::string::npos)
      << text;
  EXPECT_TRUE(CloseStandIn(process));
  CloseHandle(process);
}

// A throw-away installation folder with a copy of the stand-in, associated
// with ".tav" documents as the installation does it; gone afterwards with
// the association, when that still names this copy.
class AssociatedStandIn : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    folder_ = std::string(temp) + "tav quillbox open " + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++serial);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    program_ = ProgramPath(folder_);
    ASSERT_TRUE(CopyFileA(kBuiltQuillbox, program_.c_str(), FALSE));
    AssociateFileType(windows, kDocumentExtension, kDocumentType, kProductName, program_, kDocumentIconIndex);
  }

  void TearDown() override {
    const std::string command =
        ReadRegString(windows, RegistryRoot::ClassesRoot, std::string(kDocumentType) + "\\Shell\\Open\\command", "");
    if (command == OpenCommand(program_)) {
      RegDeleteTreeA(HKEY_CLASSES_ROOT, kDocumentExtension);
      RegDeleteTreeA(HKEY_CLASSES_ROOT, kDocumentType);
      SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    }
    for (const std::string& file : created_) DeleteFileA(file.c_str());
    DeleteFileA(program_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  std::string Document(const std::string& name) {
    const std::string path = folder_ + "\\" + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    created_.push_back(path);
    return path;
  }

  std::string folder_;
  std::string program_;
  std::vector<std::string> created_;
};

TEST_F(AssociatedStandIn, ShellOpensADocumentWithTheStandIn) {
  const std::string document = Document("my cards.tav");
  SHELLEXECUTEINFOA execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  execute.lpVerb = nullptr;  // the default verb: "Open"
  execute.lpFile = document.c_str();
  execute.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExA(&execute)) << GetLastError();
  ASSERT_NE(execute.hProcess, nullptr);

  const std::string text = WaitForStandInText(execute.hProcess);
  EXPECT_NE(text.find("Document: " + document + "\r\nThe document exists."), std::string::npos) << text;
  EXPECT_TRUE(CloseStandIn(execute.hProcess));
  CloseHandle(execute.hProcess);
}

TEST_F(AssociatedStandIn, ShellTakesTheDocumentIconFromIndexOne) {
  const std::string document = Document("icon.tav");
  SHFILEINFOA info{};
  ASSERT_NE(SHGetFileInfoA(document.c_str(), 0, &info, sizeof info, SHGFI_ICONLOCATION), 0u);
  EXPECT_STRCASEEQ(info.szDisplayName, program_.c_str());
  EXPECT_EQ(info.iIcon, kDocumentIconIndex);
}

}  // namespace
