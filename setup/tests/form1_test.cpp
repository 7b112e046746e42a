// The main window as its description builds it, and its handlers, on real
// windows.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "filestore/PackedBytes.h"
#include "setup/helpform.h"
#include "setup/tests/SetupTestEnvironment.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "winui/Dpi.h"
#include "winui/FormDescription.h"
#include "winui/Screen_win.h"
#include "winui/tests/DialogWatcher_win.h"

namespace {

Win32System windows;

struct ExpectedControl {
  const char* name;
  const char* className;
  const char* windowClass;  // null: a graphic control without a window
  RECT rect;                // at 96 dpi, relative to the parent's client area
  const char* caption;
  bool visible;
};

const ExpectedControl kControls[] = {
    {"Bevel1", "TBevel", nullptr, {136, 232, 553, 241}, "", true},
    {"Image2", "TImage", nullptr, {8, 8, 137, 281}, "", true},
    {"Image1", "TImage", nullptr, {16, 16, 48, 48}, "", true},
    {"GroupBox1", "TGroupBox", "Button", {136, 72, 561, 137}, "Destination Folder", true},
    {"SpeedButton1", "TSpeedButton", "TavSpeedButton", {336, 24, 417, 47}, "Browse ...", true},
    {"e_Dir", "TEdit", "Edit", {16, 24, 329, 45}, "", true},
    {"b_Install", "TButton", "Button", {392, 256, 467, 281}, "Install", true},
    {"b_Cancel", "TButton", "Button", {480, 256, 555, 281}, "Cancel", true},
    {"chb_Associate", "TCheckBox", "Button", {176, 152, 393, 169}, "Associate *.tav files with TAV Quillbox", true},
    {"chb_StartMenu", "TCheckBox", "Button", {176, 176, 385, 193}, "Include TAV Quillbox in Start Menu", true},
    {"chb_Desktop", "TCheckBox", "Button", {176, 200, 393, 217}, "Include TAV Quillbox on Desktop", true},
    {"b_ReadMe", "TButton", "Button", {144, 256, 281, 281}, "View ReadMe ...", true},
    {"progress", "TProgressBar", "msctls_progress32", {0, 292, 569, 304}, "", false},
};

RECT Scaled(const RECT& rect) {
  return {ScaleFrom96(rect.left), ScaleFrom96(rect.top), ScaleFrom96(rect.right), ScaleFrom96(rect.bottom)};
}

std::string WindowClass(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

void ExpectRect(const RECT& actual, const RECT& expected, const std::string& what) {
  EXPECT_EQ(actual.left, expected.left) << what;
  EXPECT_EQ(actual.top, expected.top) << what;
  EXPECT_EQ(actual.right, expected.right) << what;
  EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

HWND FocusAfterTab(HWND from) {
  PostMessageA(from, WM_KEYDOWN, VK_TAB, 0);
  Application.ProcessMessages();
  return GetFocus();
}

}  // namespace

TEST_F(MainWindowTest, EveryControlHasItsStoredClassPlaceCaptionAndVisibility) {
  for (const ExpectedControl& expected : kControls) {
    auto* control = dynamic_cast<TControl*>(Form1->FindComponent(expected.name));
    ASSERT_NE(control, nullptr) << expected.name;
    EXPECT_EQ(control->ClassName(), expected.className);
    if (expected.windowClass == nullptr) {
      EXPECT_FALSE(control->IsWindowed()) << expected.name;
      ExpectRect(control->BoundsRect(), Scaled(expected.rect), expected.name);
      EXPECT_EQ(control->Visible(), expected.visible) << expected.name;
      continue;
    }
    auto* windowed = dynamic_cast<TWinControl*>(control);
    ASSERT_NE(windowed, nullptr) << expected.name;
    ASSERT_TRUE(windowed->HandleAllocated()) << expected.name;
    EXPECT_EQ(_stricmp(WindowClass(windowed->Handle()).c_str(), expected.windowClass), 0) << expected.name;
    ExpectRect(ClientRelativeRect(windowed->Handle()), Scaled(expected.rect), expected.name);
    EXPECT_EQ(windowed->Caption(), expected.caption) << expected.name;
    EXPECT_EQ((GetWindowLongA(windowed->Handle(), GWL_STYLE) & WS_VISIBLE) != 0, expected.visible) << expected.name;
  }
  EXPECT_EQ(Form1->SpeedButton1->Parent(), Form1->GroupBox1);
  EXPECT_EQ(Form1->e_Dir->Parent(), Form1->GroupBox1);
  EXPECT_EQ(Form1->Label1->Left(), ScaleFrom96(144));
  EXPECT_EQ(Form1->Label1->Top(), ScaleFrom96(8));
  EXPECT_EQ(Form1->Zip->ClassName(), "TZipMaster");
  EXPECT_EQ(Form1->FolderBrowse->ClassName(), "TFolderBrowse");
  EXPECT_TRUE(Form1->FolderBrowse->Title.empty());
  EXPECT_EQ(Form1->Caption(), "TAV Quillbox One Step Install");
  EXPECT_EQ(Form1->ClientWidth(), ScaleFrom96(569));
  EXPECT_EQ(Form1->ClientHeight(), ScaleFrom96(304));
  EXPECT_TRUE(Form1->chb_Associate->Checked());
  EXPECT_TRUE(Form1->chb_StartMenu->Checked());
  EXPECT_FALSE(Form1->chb_Desktop->Checked());
  const LONG style = GetWindowLongA(Form1->Handle(), GWL_STYLE);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
}

TEST_F(MainWindowTest, ShownWindowHasTheWelcomeTextTheDefaultFolderTheFocusOnReadMeAndNoProgressStrip) {
  ShowMainWindow();
  EXPECT_EQ(Form1->Label1->Caption(),
            "Welcome to TAV Quillbox 2.1 Install program.\r\n"
            "It is recommend to close all other programs you are running.\r\n"
            "Disk space required: 2 MB\r\n");
  EXPECT_GT(Form1->Label1->Width(), 0);
  EXPECT_GE(Form1->Label1->Height(), 3 * ScaleFrom96(13));
  EXPECT_EQ(Form1->e_Dir->Text(), GetDefaultInstallDir(windows));
  EXPECT_EQ(Form1->ClientHeight(), ScaleFrom96(292));
  EXPECT_EQ(Form1->ClientWidth(), ScaleFrom96(569));
  EXPECT_FALSE(IsWindowVisible(Form1->progress->Handle()));
  EXPECT_EQ(GetFocus(), Form1->b_ReadMe->Handle());
  // Centred on the screen with the height FormShow left.
  RECT window{};
  GetWindowRect(Form1->Handle(), &window);
  EXPECT_NEAR(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2, 1);
  EXPECT_NEAR(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2, 1);
}

TEST_F(MainWindowTest, TabCyclesThroughTheControlsInTabOrder) {
  ShowMainWindow();
  ASSERT_EQ(GetFocus(), Form1->b_ReadMe->Handle());
  const HWND cycle[] = {Form1->e_Dir->Handle(),         Form1->b_Install->Handle(),
                        Form1->b_Cancel->Handle(),      Form1->chb_Associate->Handle(),
                        Form1->chb_StartMenu->Handle(), Form1->chb_Desktop->Handle(),
                        Form1->b_ReadMe->Handle()};
  HWND focus = GetFocus();
  for (HWND expected : cycle) {
    focus = FocusAfterTab(focus);
    EXPECT_EQ(focus, expected);
  }
}

TEST_F(MainWindowTest, EnterInTheFolderFieldAndEscapeDoNothing) {
  ShowMainWindow();
  Form1->e_Dir->SetFocus();
  const std::string folder = Form1->e_Dir->Text();
  for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
    PostMessageA(Form1->e_Dir->Handle(), WM_KEYDOWN, key, 0);
    PostMessageA(Form1->e_Dir->Handle(), WM_CHAR, key, 0);
    PostMessageA(Form1->e_Dir->Handle(), WM_KEYUP, key, 0);
    Application.ProcessMessages();
  }
  EXPECT_FALSE(Application.Terminated());
  EXPECT_TRUE(IsWindowVisible(Form1->Handle()));
  EXPECT_EQ(GetFocus(), Form1->e_Dir->Handle());
  EXPECT_EQ(Form1->e_Dir->Text(), folder);
  EXPECT_EQ(Form1->ComponentCount(), 19u);  // no ReadMe window either

  // Enter does press the button that has the focus.
  Form1->b_Cancel->SetFocus();
  PostMessageA(Form1->b_Cancel->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  Application.ProcessMessages();
  EXPECT_TRUE(Application.Terminated());
}

TEST_F(MainWindowTest, CancelEndsTheProgram) {
  ShowMainWindow();
  SendMessageA(Form1->b_Cancel->Handle(), BM_CLICK, 0, 0);
  Application.ProcessMessages();
  EXPECT_TRUE(Application.Terminated());
}

TEST_F(MainWindowTest, TheCloseBoxEndsTheProgram) {
  ShowMainWindow();
  PostMessageA(Form1->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Application.ProcessMessages();
  EXPECT_TRUE(Application.Terminated());
}

TEST_F(MainWindowTest, ThreeReadMeClicksLeaveThreeUnwrappedReadOnlyReadMeWindows) {
  ShowMainWindow();
  for (int click = 0; click < 3; ++click) {
    SendMessageA(Form1->b_ReadMe->Handle(), BM_CLICK, 0, 0);
    Application.ProcessMessages();
  }
  int readMeWindows = 0;
  for (std::size_t i = 0; i < Form1->ComponentCount(); ++i) {
    auto* help = dynamic_cast<Tf_Help*>(Form1->Components(i));
    if (help == nullptr) continue;
    ++readMeWindows;
    EXPECT_TRUE(IsWindowVisible(help->Handle()));
    EXPECT_EQ(help->Caption(), "TAV Quillbox ReadMe");
    HWND memo = help->Memo1->Handle();
    EXPECT_EQ(SendMessageA(memo, EM_GETLINECOUNT, 0, 0), 257);
    EXPECT_EQ(help->Memo1->Lines().size(), 257u);
    const LONG style = GetWindowLongA(memo, GWL_STYLE);
    EXPECT_NE(style & ES_READONLY, 0);
    EXPECT_NE(style & WS_HSCROLL, 0);
    EXPECT_NE(style & WS_VSCROLL, 0);
    // Unwrapped: each stored line is one line of the box.
    char line[512] = {};
    *reinterpret_cast<WORD*>(line) = sizeof line - 1;
    const auto length = SendMessageA(memo, EM_GETLINE, 2, reinterpret_cast<LPARAM>(line));
    EXPECT_EQ(std::string(line, static_cast<std::size_t>(length)), help->Memo1->Lines()[2]);
    // The background is the tooltip colour.
    HDC dc = GetDC(memo);
    EXPECT_EQ(SendMessageA(help->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(memo)),
              reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK)));
    ReleaseDC(memo, dc);
    // Typing changes nothing.
    const std::string before = help->Memo1->Text();
    SendMessageA(memo, WM_CHAR, 'x', 0);
    EXPECT_EQ(help->Memo1->Text(), before);
    // Memo1 fills the client area.
    RECT client{};
    GetClientRect(help->Handle(), &client);
    const RECT memoRect = ClientRelativeRect(memo);
    EXPECT_EQ(memoRect.right - memoRect.left, client.right);
    EXPECT_EQ(memoRect.bottom - memoRect.top, client.bottom);
  }
  EXPECT_EQ(readMeWindows, 3);
  ASSERT_NE(f_Help, nullptr);
  EXPECT_EQ(f_Help->Owner(), Form1);

  // Closing a ReadMe window only hides it.
  SendMessageA(f_Help->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(f_Help->Handle()));
  EXPECT_FALSE(Application.Terminated());
}

TEST_F(MainWindowTest, AReadMeWindowThatCannotBeBuiltLeavesNoHourglass) {
  ShowMainWindow();
  // The ReadMe window's description (stored packed) is damaged.
  const DescriptionSource previous = SetDescriptionSource([](const std::string& className) {
    std::vector<std::uint8_t> bytes = ResourceDescription(className);
    if (className == "Tf_Help") {
      bytes = Unpack(bytes);
      bytes.resize(bytes.size() / 2);
    }
    return bytes;
  });
  std::vector<SeenDialog> boxes;
  {
    DialogWatcher watcher(IDOK);
    SendMessageA(Form1->b_ReadMe->Handle(), BM_CLICK, 0, 0);
    boxes = watcher.Wait();
  }
  SetDescriptionSource(previous);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].Text.find("Invalid window description"), std::string::npos) << boxes[0].Text;
  EXPECT_EQ(Screen.Cursor(), TCursor::crDefault);
  EXPECT_TRUE(IsWindowVisible(Form1->Handle()));
}

TEST_F(MainWindowTest, BrowseOpensOnTheFieldsFolderAndOkPutsTheChosenFolderBack) {
  ShowMainWindow();
  // Straight under the drive: Wine's dialog walks there, not into every
  // folder its desktop shows.
  const std::string folder = "C:\\TAV setup browse test";
  CreateDirectoryA(folder.c_str(), nullptr);
  Form1->e_Dir->SetText(folder);
  {
    DialogWatcher watcher(IDOK, 1, 500);
    Form1->SpeedButton1->Click();
    ASSERT_EQ(watcher.Wait().size(), 1u);
  }
  EXPECT_EQ(_stricmp(Form1->e_Dir->Text().c_str(), folder.c_str()), 0) << Form1->e_Dir->Text();
  RemoveDirectoryA(folder.c_str());
}

TEST_F(MainWindowTest, BrowseCancelLeavesTheField) {
  ShowMainWindow();
  Form1->e_Dir->SetText("C:\\somewhere else");
  {
    DialogWatcher watcher(IDCANCEL, 1, 200);
    Form1->SpeedButton1->Click();
    ASSERT_EQ(watcher.Wait().size(), 1u);
  }
  EXPECT_EQ(Form1->e_Dir->Text(), "C:\\somewhere else");
}
