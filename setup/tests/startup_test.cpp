// The program from start to end, in-process: start-up order, the splash
// going when the main window takes the focus, the exit codes.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "setup/SetupProgram_win.h"
#include "setup/fsplash.h"
#include "setup/tests/SetupTestEnvironment.h"
#include "testsupport/TopLevelWindow_win.h"
#include "winui/FormDescription.h"
#include "winui/Screen_win.h"
#include "winui/tests/DialogWatcher_win.h"

namespace {

// The visible top-level window of this process with that caption, or null.
HWND FindTopLevel(const char* caption) {
  return FindTopLevelWindow({GetCurrentProcessId(), caption, nullptr});
}

// Presses "Cancel" in the main window once it is shown.
void CancelTheMainWindow() {
  const HWND main = WaitForTopLevelWindow({GetCurrentProcessId(), "TAV Quillbox One Step Install", nullptr}, 20000);
  PostMessageA(FindWindowExA(main, nullptr, "Button", "Cancel"), BM_CLICK, 0, 0);
}

}  // namespace

TEST(StartupTest, CancelInTheMainWindowEndsTheProgramWithExitCodeZeroAndTheSplashGone) {
  bool splashGoneWhenMainShown = false;
  std::thread user([&] {
    for (int i = 0; i < 2000; ++i) {
      HWND main = FindTopLevel("TAV Quillbox One Step Install");
      if (main != nullptr) {
        Sleep(300);
        splashGoneWhenMainShown = FindTopLevel("TAV Quillbox Setup") == nullptr;
        PostMessageA(FindWindowExA(main, nullptr, "Button", "Cancel"), BM_CLICK, 0, 0);
        return;
      }
      Sleep(10);
    }
  });
  const int exitCode = RunSetupProgram();
  user.join();
  EXPECT_EQ(exitCode, 0);
  // Nothing refers to the splash once it is gone.
  EXPECT_EQ(f_splash, nullptr);
  EXPECT_TRUE(splashGoneWhenMainShown);
  EXPECT_EQ(Screen.Cursor(), TCursor::crDefault);
  EXPECT_EQ(Application.MainForm(), nullptr);
  EXPECT_EQ(Application.Title(), "TAV Quillbox Setup");
}

TEST(StartupTest, ADamagedMainWindowDescriptionIsAFatalStartupErrorWithExitCodeOne) {
  SetDescriptionSource([](const std::string& className) {
    std::vector<std::uint8_t> bytes = ResourceDescription(className);
    if (className == "TForm1") bytes.resize(bytes.size() / 2);
    return bytes;
  });
  std::vector<SeenDialog> boxes;
  int exitCode = 0;
  {
    DialogWatcher watcher(IDOK, 1, 200);
    exitCode = RunSetupProgram();
    boxes = watcher.Wait();
  }
  SetDescriptionSource(nullptr);
  Application.ProcessMessages();
  EXPECT_EQ(exitCode, 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, "Application Error");
  EXPECT_NE(boxes[0].Text.find("Invalid window description"), std::string::npos) << "[" << boxes[0].Text << "]";
  EXPECT_EQ(Application.MainForm(), nullptr);
  EXPECT_EQ(FindTopLevel("TAV Quillbox One Step Install"), nullptr);
}

TEST(StartupTest, AnErrorInTheMainWindowsShowHandlerStaysOnTheScreenUntilItIsPressed) {
  // GetDefaultInstallDir raises in FormShow, while the splash is still up
  // and active: the box must not go with the splash.
  const ProgramFilesDirKept kept;
  const DWORD number = 42;
  WriteValue(kCurrentVersion, "ProgramFilesDir", REG_DWORD, &number, sizeof number);
  std::vector<SeenDialog> boxes;
  std::thread user([&] {
    {
      // Read half a second after it appeared, as a user would.
      DialogWatcher watcher(IDOK, 1, 500);
      boxes = watcher.Wait();
    }
    CancelTheMainWindow();
  });
  const int exitCode = RunSetupProgram();
  user.join();
  EXPECT_EQ(exitCode, 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, "TAV Quillbox Setup");
  EXPECT_EQ(boxes[0].Text, "Invalid data type for 'ProgramFilesDir'");
  EXPECT_EQ(f_splash, nullptr);
  EXPECT_EQ(Screen.Cursor(), TCursor::crDefault);
}
