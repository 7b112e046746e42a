// FormShow's default destination from the real registry of the test prefix.
// Each test restores what it changed: the tests of a run share one prefix.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/tests/SetupTestEnvironment.h"
#include "winui/Dpi.h"
#include "winui/tests/DialogWatcher_win.h"

namespace {

const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox";
const char kAppPathsExe[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox.exe";

// Brings the registry values that FormShow reads back to what they were.
class DestinationRegistryTest : public MainWindowTest {
 protected:
  void TearDown() override {
    MainWindowTest::TearDown();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPaths);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathsExe);
  }

 private:
  ProgramFilesDirKept programFilesDir_;
};

}  // namespace

TEST_F(DestinationRegistryTest, AppPathsWithoutExeWinsOverTheOneWithExe) {
  ASSERT_FALSE(ReadValue(kAppPaths, "Path")) << "the prefix already holds an App Paths entry";
  WriteText(kAppPaths, "Path", "C:\\Earlier\\Quillbox");
  WriteText(kAppPathsExe, "Path", "C:\\Installed\\Quillbox\\");
  ShowMainWindow();
  EXPECT_EQ(Form1->e_Dir->Text(), "C:\\Earlier\\Quillbox");
}

TEST_F(DestinationRegistryTest, AppPathsWithExeIsTakenAsStored) {
  WriteText(kAppPathsExe, "Path", "C:\\Installed\\Quillbox\\");
  ShowMainWindow();
  EXPECT_EQ(Form1->e_Dir->Text(), "C:\\Installed\\Quillbox\\");
}

TEST_F(DestinationRegistryTest, WithoutAnInstallationTheProgramFilesFolderIsTheParent) {
  WriteText(kCurrentVersion, "ProgramFilesDir", "D:\\Programs");
  ShowMainWindow();
  EXPECT_EQ(Form1->e_Dir->Text(), "D:\\Programs\\TAV Quillbox");
}

TEST_F(DestinationRegistryTest, ANumberAsProgramFilesDirIsShownAsAnErrorAndTheWindowStillShowsInFull) {
  const DWORD number = 42;
  WriteValue(kCurrentVersion, "ProgramFilesDir", REG_DWORD, &number, sizeof number);
  std::vector<SeenDialog> boxes;
  {
    DialogWatcher watcher(IDOK);
    ShowMainWindow();
    boxes = watcher.Wait();
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, "TAV Quillbox Setup");
  // The message ends in a quote, which sorts before ".": shown unchanged.
  EXPECT_EQ(boxes[0].Text, "Invalid data type for 'ProgramFilesDir'");
  EXPECT_TRUE(IsWindowVisible(Form1->Handle()));
  EXPECT_EQ(Form1->e_Dir->Text(), "");
  EXPECT_EQ(Form1->ClientHeight(), ScaleFrom96(304));
  EXPECT_EQ(Form1->Label1->Caption().rfind("Welcome to TAV Quillbox 2.1 Install program.\r\n", 0), 0u);
}
