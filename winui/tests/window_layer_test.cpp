// The window layer on real windows: a form built from a description, the
// boundary that keeps exceptions out of window procedures, the top-level
// error box, scaling to the display's resolution, pictures, cursors.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "base/Exception.h"
#include "component/DescriptionText.h"
#include "winui/Application_win.h"
#include "winui/Buttons_win.h"
#include "winui/Dpi.h"
#include "winui/Edits_win.h"
#include "winui/Form_win.h"
#include "winui/FormDescription.h"
#include "winui/GraphicControls_win.h"
#include "winui/Picture_win.h"
#include "winui/Screen_win.h"
#include "winui/SpeedButton_win.h"
#include "winui/StandardControls.h"
#include "winui/tests/DialogWatcher_win.h"

namespace {

const char kTestForm[] = R"(
object TestForm: TTestForm
  Caption = 'Layer test'
  BorderStyle = bsSingle
  ClientWidth = 200
  ClientHeight = 100
  object Edit1: TEdit
    Left = 10
    Top = 50
    Width = 100
    Height = 21
    TabOrder = 1
  end
  object Button1: TButton
    Left = 10
    Top = 10
    Width = 80
    Height = 25
    TabOrder = 0
    Caption = 'Go'
    OnClick = ButtonClick
  end
  object Speed1: TSpeedButton
    Left = 100
    Top = 10
    Width = 80
    Height = 25
    Caption = 'Flat'
    Flat = True
    OnClick = SpeedClick
  end
end
)";

std::string g_description = kTestForm;
// The files an "@file" in a test description names.
std::map<std::string, std::vector<std::uint8_t>> g_files;

class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* owner) : TForm(owner) {
    Publish("Edit1", Edit1);
    Publish("Button1", Button1);
    Publish("Speed1", Speed1);
    Handler("ButtonClick", &TTestForm::ButtonClick);
    Handler("SpeedClick", &TTestForm::SpeedClick);
    Initialize("TTestForm");
  }
  std::string ClassName() const override { return "TTestForm"; }

  void ButtonClick(TComponent*) {
    ++clicks;
    throw Exception(errorMessage);
  }
  void SpeedClick(TComponent*) { ++speedClicks; }

  TEdit* Edit1 = nullptr;
  TButton* Button1 = nullptr;
  TSpeedButton* Speed1 = nullptr;
  std::string errorMessage = "Cannot go";
  int clicks = 0;
  int speedClicks = 0;
};

class WindowLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.Initialize();
    RegisterStandardControls();
    Application.SetTitle("Layer Test Title");
    g_description = kTestForm;
    previous_ = SetDescriptionSource([](const std::string&) {
      return DescriptionFromText(g_description, [](const std::string& name) -> std::vector<std::uint8_t> {
        const auto file = g_files.find(name);
        if (file == g_files.end()) throw Exception("no file " + name);
        return file->second;
      });
    });
  }
  void TearDown() override {
    delete form_;
    Application.ProcessMessages();
    SetDescriptionSource(previous_);
    SetDisplayDpi(96);
  }
  TTestForm* MakeForm() {
    form_ = new TTestForm(nullptr);
    return form_;
  }

  TTestForm* form_ = nullptr;
  DescriptionSource previous_;
};

}  // namespace

TEST_F(WindowLayerTest, AnErrorEscapingAHandlerIsShownInTheErrorBoxAndTheLoopGoesOn) {
  TTestForm* form = MakeForm();
  form->Show();
  for (const auto& [message, shown] : {std::pair<std::string, std::string>{"Cannot go", "Cannot go."},
                                       {"Invalid data type for 'x'", "Invalid data type for 'x'"},
                                       {"Stopped.", "Stopped."}}) {
    form->errorMessage = message;
    DialogWatcher watcher(IDOK);
    // Through the button's window procedure, as a click arrives.
    SendMessageA(form->Button1->Handle(), BM_CLICK, 0, 0);
    const std::vector<SeenDialog> boxes = watcher.Wait();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Layer Test Title");
    EXPECT_EQ(boxes[0].Text, shown);
  }
  EXPECT_EQ(form->clicks, 3);
  EXPECT_TRUE(IsWindow(form->Handle()));
}

TEST_F(WindowLayerTest, AnUnknownHandlerOrClassInTheDescriptionIsAClearError) {
  g_description = std::string(kTestForm).replace(std::string(kTestForm).find("SpeedClick"), 10, "NoSuchHandler");
  try {
    MakeForm();
    FAIL() << "a description naming an unknown handler was accepted";
  } catch (const Exception& error) {
    EXPECT_NE(error.Message().find("NoSuchHandler"), std::string::npos) << error.Message();
  }
  g_description = std::string(kTestForm).replace(std::string(kTestForm).find("TSpeedButton"), 12, "TNoSuchClass");
  try {
    MakeForm();
    FAIL() << "a description naming an unknown class was accepted";
  } catch (const Exception& error) {
    EXPECT_NE(error.Message().find("TNoSuchClass"), std::string::npos) << error.Message();
  }
}

TEST_F(WindowLayerTest, StoredSizesAndFontsAreScaledToTheDisplaysResolution) {
  SetDisplayDpi(144);
  EXPECT_EQ(ScaleFrom96(289), 434);
  EXPECT_EQ(ScaleTo96(434), 289);
  TTestForm* form = MakeForm();
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->ClientHeight(), 150);
  RECT button{};
  GetWindowRect(form->Button1->Handle(), &button);
  MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&button), 2);
  EXPECT_EQ(button.left, 15);
  EXPECT_EQ(button.top, 15);
  EXPECT_EQ(button.right - button.left, 120);
  EXPECT_EQ(button.bottom - button.top, 38);
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form->Button1->Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -17);  // character height 11 at 150 %
}

TEST_F(WindowLayerTest, TheFlatButtonClicksWithoutTakingTheFocus) {
  TTestForm* form = MakeForm();
  form->Show();
  form->Edit1->SetFocus();
  HWND speed = form->Speed1->Handle();
  SendMessageA(speed, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(form->Speed1->Hot());
  SendMessageA(speed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(speed, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(form->speedClicks, 1);
  EXPECT_EQ(GetFocus(), form->Edit1->Handle());
}

TEST_F(WindowLayerTest, TheBusyCursorTakesEffectAtOnceAndTheDefaultComesBack) {
  TTestForm* form = MakeForm();
  form->Show();
  Screen.SetCursor(TCursor::crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
  // Every window of the program answers with the hourglass while it is set.
  SendMessageA(form->Edit1->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Edit1->Handle()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
  Screen.SetCursor(TCursor::crDefault);
  EXPECT_NE(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
}

TEST(PictureTest, MalformedPictureDataIsRejectedWithAClearError) {
  const auto bitmapHeader = [](std::uint32_t bitsOffset, std::int32_t width, std::int32_t height,
                               std::uint16_t bitCount, std::uint32_t compression) {
    std::vector<std::uint8_t> bytes(54 + 64, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    auto put = [&](std::size_t at, std::uint32_t value, int size) {
      for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(10, bitsOffset, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, bitCount, 2);
    put(30, compression, 4);
    return bytes;
  };
  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cases = {
      {"neither icon nor bitmap", {1, 2, 3, 4, 5, 6}},
      {"icon without images", {0, 0, 1, 0, 0, 0}},
      {"icon entry cut off", {0, 0, 1, 0, 1, 0, 32, 32}},
      {"icon image past the end", {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 4, 0, 0xFF, 0xFF, 0, 0, 22, 0, 0, 0}},
      {"bitmap header cut off", {'B', 'M', 0, 0}},
      {"compressed bitmap", bitmapHeader(54, 8, 8, 8, 1)},
      {"rows past the end", bitmapHeader(54, 64, 64, 24, 0)},
      {"colour table over the rows", bitmapHeader(54, 4, 4, 4, 0)},
      {"odd bit count", bitmapHeader(54, 4, 4, 3, 0)},
  };
  for (const auto& [name, bytes] : cases) {
    TPicture picture;
    try {
      picture.SetData(bytes);
      ADD_FAILURE() << name << ": accepted";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message().rfind("Invalid picture data", 0), 0u) << name << ": " << error.Message();
    }
    EXPECT_TRUE(picture.Empty()) << name;
  }
  TPicture picture;
  picture.SetData(bitmapHeader(54, 4, 4, 24, 0));
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(picture.Height(), 4);
}

namespace {

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// An icon file with one opaque 32-bit image of each given size and colour.
std::vector<std::uint8_t> SolidIcon(const std::vector<std::pair<int, COLORREF>>& images) {
  std::vector<std::uint8_t> out;
  PutLE(out, 0, 2), PutLE(out, 1, 2), PutLE(out, static_cast<std::uint32_t>(images.size()), 2);
  std::vector<std::vector<std::uint8_t>> bodies;
  for (const auto& [size, colour] : images) {
    std::vector<std::uint8_t> body;
    const auto side = static_cast<std::uint32_t>(size);
    PutLE(body, 40, 4), PutLE(body, side, 4), PutLE(body, 2 * side, 4), PutLE(body, 1, 2), PutLE(body, 32, 2);
    for (int i = 0; i < 6; ++i) PutLE(body, 0, 4);
    for (std::uint32_t i = 0; i < side * side; ++i)
      body.insert(body.end(), {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0xFF});
    body.insert(body.end(), static_cast<std::size_t>((side + 31) / 32 * 4 * side), 0);  // the mask: all shown
    bodies.push_back(std::move(body));
  }
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.insert(out.end(), {static_cast<std::uint8_t>(images[i].first), static_cast<std::uint8_t>(images[i].first), 0, 0});
    PutLE(out, 1, 2), PutLE(out, 32, 2), PutLE(out, static_cast<std::uint32_t>(bodies[i].size()), 4), PutLE(out, offset, 4);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
  return out;
}

// A 24-bit bitmap file of one colour.
std::vector<std::uint8_t> SolidBitmap(int width, int height, COLORREF colour) {
  const auto stride = static_cast<std::uint32_t>((width * 3 + 3) & ~3);
  std::vector<std::uint8_t> out{'B', 'M'};
  PutLE(out, 54 + stride * static_cast<std::uint32_t>(height), 4), PutLE(out, 0, 4), PutLE(out, 54, 4);
  PutLE(out, 40, 4), PutLE(out, static_cast<std::uint32_t>(width), 4), PutLE(out, static_cast<std::uint32_t>(height), 4);
  PutLE(out, 1, 2), PutLE(out, 24, 2);
  for (int i = 0; i < 6; ++i) PutLE(out, 0, 4);
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) out.insert(out.end(), {GetBValue(colour), GetGValue(colour), GetRValue(colour)});
    out.insert(out.end(), stride - static_cast<std::uint32_t>(width) * 3, 0);
  }
  return out;
}

// A white 32-bit surface to paint on, read back pixel by pixel.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const std::uint32_t pixel = bits_[y * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }

 private:
  int width_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// The test form with more below its last control.
std::string TestFormWith(const std::string& more) {
  std::string text = kTestForm;
  text.insert(text.rfind("end"), more);
  return text;
}

}  // namespace

TEST_F(WindowLayerTest, PicturesScaleWithTheLayout) {
  SetDisplayDpi(144);
  g_files["icon"] = SolidIcon({{16, RGB(0, 0, 255)}, {32, RGB(255, 0, 0)}});
  g_files["bitmap"] = SolidBitmap(10, 20, RGB(0, 128, 0));
  g_description = TestFormWith(R"(
  object Icon1: TImage
    Left = 0
    Top = 60
    Width = 32
    Height = 32
    AutoSize = True
    Picture.Data = @file 'icon'
  end
  object Side1: TImage
    Left = 60
    Top = 60
    Width = 30
    Height = 30
    Picture.Data = @file 'bitmap'
  end
)");
  TTestForm* form = MakeForm();
  auto* icon = dynamic_cast<TImage*>(form->FindComponent("Icon1"));
  auto* side = dynamic_cast<TImage*>(form->FindComponent("Side1"));
  ASSERT_NE(icon, nullptr);
  ASSERT_NE(side, nullptr);
  // The 32-pixel icon at 150 %: 48 pixels, drawn from the 32-pixel image
  // (red), the one the file holds nearest that size.
  EXPECT_EQ(icon->Width(), 48);
  EXPECT_EQ(icon->Height(), 48);
  Canvas canvas(300, 300);
  icon->Paint(canvas.Dc());
  EXPECT_EQ(canvas.At(icon->Left() + 47, icon->Top() + 47), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(icon->Left() + 1, icon->Top() + 1), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(icon->Left() + 48, icon->Top() + 24), RGB(255, 255, 255));
  // The 10 x 20 bitmap fills 15 x 30 pixels of its larger box.
  side->Paint(canvas.Dc());
  EXPECT_EQ(canvas.At(side->Left() + 14, side->Top() + 29), RGB(0, 128, 0));
  EXPECT_EQ(canvas.At(side->Left() + 15, side->Top() + 10), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(side->Left() + 5, side->Top() + 30), RGB(255, 255, 255));
}

TEST_F(WindowLayerTest, AMessagePostedFromOutsideNeverMakesAWindowDestroyItself) {
  TTestForm* form = MakeForm();
  TTestForm* main = nullptr;
  Application.CreateForm(main);
  ASSERT_EQ(Application.MainForm(), main);
  for (TTestForm* target : {form, main}) {
    const HWND window = target->Handle();
    // What Release posts, posted by another program.
    PostMessageA(window, WM_APP + 0x100, 0, 0);
    Application.ProcessMessages();
    if (!IsWindow(window) && target == form) form_ = nullptr;  // it is gone already
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(TWinControl::FromHandle(window), target);
  }
  EXPECT_EQ(Application.MainForm(), main);
  EXPECT_FALSE(Application.Terminated());
  // Release still works, and the main form going ends the loop.
  const HWND mainWindow = main->Handle();
  main->Release();
  Application.ProcessMessages();
  EXPECT_FALSE(IsWindow(mainWindow));
  EXPECT_EQ(Application.MainForm(), nullptr);
  EXPECT_TRUE(Application.Terminated());
  MSG quit{};
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

namespace {

HWND g_watchedWindow = nullptr;
std::vector<HICON> g_watchedIcons;
bool g_iconsAliveAtDestroy = false;
bool g_destroySeen = false;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->hwnd == g_watchedWindow && message->message == WM_DESTROY) {
    g_destroySeen = true;
    g_iconsAliveAtDestroy = true;
    for (HICON icon : g_watchedIcons) {
      ICONINFO info{};
      if (!GetIconInfo(icon, &info)) {
        g_iconsAliveAtDestroy = false;
        continue;
      }
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(WindowLayerTest, AFormsWindowGoesBeforeTheIconsItShows) {
  g_files["icon"] = SolidIcon({{16, RGB(0, 0, 255)}, {32, RGB(255, 0, 0)}});
  g_description = TestFormWith("");
  g_description.insert(g_description.find("  object Edit1"), "  Icon.Data = @file 'icon'\n");
  TTestForm* form = MakeForm();
  g_watchedWindow = form->Handle();
  g_watchedIcons = {reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)),
                    reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_SMALL, 0))};
  ASSERT_NE(g_watchedIcons[0], nullptr);
  ASSERT_NE(g_watchedIcons[1], nullptr);
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  delete form_;
  form_ = nullptr;
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(g_destroySeen);
  EXPECT_TRUE(g_iconsAliveAtDestroy);
}

TEST_F(WindowLayerTest, ProcessMessagesLeavesTheQuitMessageForTheLoopItEnds) {
  TTestForm* form = MakeForm();
  PostQuitMessage(3);
  Application.ProcessMessages();
  EXPECT_TRUE(Application.Terminated());
  MSG quit{};
  ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
  EXPECT_TRUE(IsWindow(form->Handle()));
}

namespace {

// A control whose window cannot be made: its class does not exist.
class TUnbuildable : public TWinControl {
 public:
  explicit TUnbuildable(TComponent* owner) : TWinControl(owner) {
    SetName("Unbuildable1");
    SetTabStop(true);
  }
  std::string ClassName() const override { return "TUnbuildable"; }

 protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    params.ClassName = "TavNoSuchWindowClass";
  }
};

}  // namespace

TEST_F(WindowLayerTest, AnErrorRaisedByTheMessageLoopItselfIsShownAndTheLoopGoesOn) {
  g_description = kTestForm;
  g_description.insert(g_description.find("  object Edit1"), "  ActiveControl = 'Button1'\n");
  TTestForm* main = nullptr;
  Application.CreateForm(main);
  // Added after the form's windows were made: Tab is the first to need its
  // window, from within the loop's own keyboard handling.
  (new TUnbuildable(main))->SetParent(main);
  PostMessageA(main->Edit1->Handle(), WM_KEYDOWN, VK_TAB, 0);
  std::vector<SeenDialog> boxes;
  std::thread user([&] {
    DialogWatcher watcher(IDOK);
    boxes = watcher.Wait();
    Sleep(200);
    PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
  });
  try {
    Application.Run();
  } catch (...) {
    ADD_FAILURE() << "an exception left the message loop";
    PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
  }
  user.join();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, "Layer Test Title");
  EXPECT_EQ(boxes[0].Text, "Cannot create the window of Unbuildable1.");
  EXPECT_EQ(Application.MainForm(), nullptr);
}
