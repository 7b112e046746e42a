// "Install" clicked in the real main window, in-process: every progress value
// painted as it is set although no message loop runs, all under the busy
// cursor, the window grown and the bar at its bottom, then hidden before
// the box; the boxes with their icons.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "setup/tests/SetupTestEnvironment.h"
#include "sysint/InstallLayout.h"
#include "winui/Screen_win.h"

namespace {

namespace fs = std::filesystem;

// What the progress bar was told and when it painted, seen from inside its
// window procedure.
struct BarEvent {
  int position;  // -1: a paint
  bool busyCursor;
};
HWND gBar = nullptr;
std::vector<BarEvent> gBarEvents;

LRESULT CALLBACK WatchBar(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->hwnd == gBar) {
    const bool busy = GetCursor() == LoadCursorA(nullptr, IDC_WAIT);
    if (message->message == PBM_SETPOS) gBarEvents.push_back({static_cast<int>(message->wParam), busy});
    if (message->message == WM_PAINT) gBarEvents.push_back({-1, busy});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The box the program shows next on this thread, read from another thread
// as a user reads it, then answered with OK.
struct SeenBox {
  std::string caption;
  std::string text;
  HICON icon = nullptr;
  bool mainWindowVisible = true;
};

class BoxReader {
 public:
  BoxReader() : thread_([this] { Read(); }) {}
  ~BoxReader() {
    if (thread_.joinable()) thread_.join();
  }
  BoxReader(const BoxReader&) = delete;
  BoxReader& operator=(const BoxReader&) = delete;
  const SeenBox& Box() {
    if (thread_.joinable()) thread_.join();
    return box_;
  }

 private:
  static BOOL CALLBACK Part(HWND child, LPARAM data) {
    auto* box = reinterpret_cast<SeenBox*>(data);
    char text[512] = {};
    GetClassNameA(child, text, sizeof text);
    if (std::string(text) != "Static") return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      box->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (GetWindowTextA(child, text, sizeof text) > 0) {
      box->text = text;
    }
    return TRUE;
  }
  static BOOL CALLBACK Find(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || std::string(name) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }
  void Read() {
    HWND box = nullptr;
    for (int i = 0; i < 3000 && box == nullptr; ++i) {
      EnumWindows(Find, reinterpret_cast<LPARAM>(&box));
      Sleep(10);
    }
    if (box == nullptr) return;
    Sleep(200);
    box_.mainWindowVisible = IsWindowVisible(Form1->Handle()) != FALSE;
    char caption[256] = {};
    GetWindowTextA(box, caption, sizeof caption);
    box_.caption = caption;
    EnumChildWindows(box, Part, reinterpret_cast<LPARAM>(&box_));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }

  SeenBox box_;
  std::thread thread_;
};

void Unregister() {
  for (const char* key : {kAppPathsExeKey, kUninstallKey, kProductKey}) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
  RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
}

class InstallClick : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = fs::path(temp) / ("tav install click " + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder_);
  }
  void TearDown() override {
    Unregister();
    // The extraction left the destination the current folder, which holds it.
    SetCurrentDirectoryA(folder_.parent_path().string().c_str());
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
    MainWindowTest::TearDown();
  }
  fs::path folder_;
};

TEST_F(InstallClick, PaintsEveryValueAsItIsSetUnderTheBusyCursorThenReports) {
  ShowMainWindow();
  const int shownHeight = Form1->Height();
  Form1->e_Dir->SetText((folder_ / "TAV Quillbox").string());
  Form1->chb_Associate->SetChecked(false);
  Form1->chb_StartMenu->SetChecked(false);
  gBar = Form1->progress->Handle();
  gBarEvents.clear();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchBar, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  BoxReader reader;
  Form1->b_Install->Click();
  UnhookWindowsHookEx(hook);

  // The value each paint showed: the last one set before it. Each value is
  // set one past itself first (styled bars glide forward, not back), so a
  // paint of v + 1 right before one of v is no value of its own.
  std::vector<int> painted;
  int last = -1;
  for (const BarEvent& event : gBarEvents) {
    EXPECT_TRUE(event.busyCursor) << "busy from before the first value";
    if (event.position >= 0) last = event.position;
    if (event.position < 0 && last >= 0 && (painted.empty() || painted.back() != last)) {
      if (!painted.empty() && painted.back() == last + 1) painted.pop_back();
      painted.push_back(last);
    }
  }
  EXPECT_EQ(painted, (std::vector<int>{5, 10, 20, 30, 40, 50, 60, 70, 100}));
  EXPECT_EQ(Form1->progress->Position(), 100);
  EXPECT_NE(GetWindowLongA(gBar, GWL_STYLE) & WS_VISIBLE, 0) << "the bar stays; the window is hidden";
  EXPECT_EQ(Form1->Height(), shownHeight + Form1->progress->Height()) << "grown by the bar";
  RECT bar = ClientRelativeRect(gBar);
  RECT client{};
  GetClientRect(Form1->Handle(), &client);
  EXPECT_EQ(bar.bottom, client.bottom) << "docked to the bottom";
  EXPECT_EQ(bar.right - bar.left, client.right);

  const SeenBox& box = reader.Box();
  EXPECT_EQ(box.caption, "Information");
  EXPECT_EQ(box.text, "TAV Quillbox installed.");
  EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_INFORMATION));
  EXPECT_FALSE(box.mainWindowVisible);
  EXPECT_EQ(Screen.Cursor(), TCursor::crDefault);
  EXPECT_TRUE(Application.Terminated()) << "the main window closed";
  EXPECT_TRUE(fs::exists(folder_ / "TAV Quillbox" / "TAV Quillbox.exe"));
}

TEST_F(InstallClick, AFailedStepShowsTheErrorBoxAndNoInformation) {
  ShowMainWindow();
  Form1->e_Dir->SetText("");
  BoxReader reader;
  Form1->b_Install->Click();
  const SeenBox& box = reader.Box();
  EXPECT_EQ(box.caption, "TAV Quillbox Setup");
  EXPECT_EQ(box.text, "Unable to create directory.");
  EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_ERROR));
  EXPECT_FALSE(box.mainWindowVisible);
  EXPECT_EQ(Form1->progress->Position(), 5) << "stopped at the folder step";
  EXPECT_NE(GetWindowLongA(Form1->progress->Handle(), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_EQ(Screen.Cursor(), TCursor::crDefault);
  EXPECT_TRUE(Application.Terminated());
}

}  // namespace
