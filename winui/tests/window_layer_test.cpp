// The window layer on real windows: a form built from a description, the
// boundary that keeps exceptions out of window procedures, the top-level
// error box, scaling to the display's resolution, pictures, cursors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Exception.h"
#include "component/DescriptionText.h"
#include "winui/Application.h"
#include "winui/Buttons.h"
#include "winui/Dpi.h"
#include "winui/Edits.h"
#include "winui/Form.h"
#include "winui/FormDescription.h"
#include "winui/Picture.h"
#include "winui/Screen.h"
#include "winui/SpeedButton.h"
#include "winui/StandardControls.h"
#include "winui/tests/DialogWatcher.h"

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
      return DescriptionFromText(g_description, [](const std::string&) -> std::vector<std::uint8_t> {
        throw Exception("no files here");
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
