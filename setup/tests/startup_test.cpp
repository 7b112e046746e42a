// The program from start to end, in-process: start-up order, the splash
// going when the main window takes the focus, the exit codes.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "setup/SetupProgram.h"
#include "setup/fsplash.h"
#include "setup/tests/SetupTestEnvironment.h"
#include "testsupport/TopLevelWindow_win.h"
#include "winui/FormDescription.h"
#include "winui/Screen.h"
#include "winui/tests/DialogWatcher.h"

namespace {

// The visible top-level window of this process with that caption, or null.
HWND FindTopLevel(const char* caption) {
  return FindTopLevelWindow({GetCurrentProcessId(), caption, nullptr});
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
  EXPECT_NE(f_splash, nullptr);
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
