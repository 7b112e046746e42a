// Descriptions applied to live components and written from them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Exception.h"
#include "component/Description.h"
#include "component/DescriptionText.h"
#include "component/DescriptionTree.h"
#include "component/tests/SampleDescription.h"
#include "component/tests/TestComponents.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes NoFiles(const std::string& path) { throw Exception("Cannot open file " + path); }
Bytes Compile(const std::string& text) { return DescriptionFromText(text, NoFiles); }

class DescriptionComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestComponents();
    LoadedLog().clear();
    form.AddHandler("FormShow", TNotifyEvent([this](TComponent* sender) { shownBy = sender; }));
    form.AddHandler("b_OkClick", TNotifyEvent([this](TComponent* sender) { clickedBy = sender; }));
    form.AddHandler("NotAnEvent", std::any(42));
  }

  std::string ReadError(const std::string& text) {
    try {
      ReadComponentDescription(Compile(text), form);
    } catch (const Exception& error) {
      return error.Message();
    }
    return "(accepted)";
  }

  TTestForm form;
  TComponent* shownBy = nullptr;
  TComponent* clickedBy = nullptr;
};

TEST_F(DescriptionComponentTest, ReadingBuildsTheTreeWithEveryValue) {
  ReadComponentDescription(Compile(kSampleText), form);
  EXPECT_EQ(form.Name(), "Form1");
  EXPECT_EQ(form.Caption, "Setup");
  ASSERT_EQ(form.ComponentCount(), 3u);
  auto* panel = dynamic_cast<TTestPanel*>(form.FindComponent("panel1"));
  auto* ok = dynamic_cast<TTestButton*>(form.FindComponent("B_OK"));
  auto* cancel = dynamic_cast<TTestButton*>(form.FindComponent("b_Cancel"));
  ASSERT_TRUE(panel && ok && cancel);
  EXPECT_EQ(panel->Owner(), &form);
  EXPECT_EQ(ok->Owner(), &form);
  EXPECT_EQ(panel->Parent, &form);
  EXPECT_EQ(ok->Parent, panel);
  EXPECT_EQ(cancel->Parent, &form);
  EXPECT_EQ(panel->Width, 300);
  EXPECT_TRUE(panel->WasLoadingWhenSet);
  EXPECT_FALSE(panel->Loading());
  EXPECT_FALSE(ok->Enabled);
  EXPECT_EQ(ok->Left, -5);
  EXPECT_EQ(ok->Caption, "It's\r\nOK");
  EXPECT_EQ(ok->Align, TestAlign::Bottom);
  EXPECT_EQ(ok->FontStyle, kFontBold | kFontItalic);
  EXPECT_EQ(ok->Lines, (std::vector<std::string>{"one", ""}));
  EXPECT_EQ(ok->Data, (Bytes{1, 2, 0xFF}));
  EXPECT_EQ(cancel->Tag(), 7);
  EXPECT_EQ(cancel->Left, 100000);
  EXPECT_EQ(cancel->FontStyle, 0);
  ASSERT_TRUE(ok->OnClick && form.OnShow);
  ok->OnClick(ok);
  form.OnShow(&form);
  EXPECT_EQ(clickedBy, ok);
  EXPECT_EQ(shownBy, &form);
  EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"Form1", "Panel1", "b_Ok", "b_Cancel"}));
}

TEST_F(DescriptionComponentTest, ReadThenWrittenGivesTheSameBytes) {
  const Bytes bytes = Compile(kSampleText);
  ReadComponentDescription(bytes, form);
  EXPECT_EQ(WriteComponentDescription(form), bytes);
}

TEST_F(DescriptionComponentTest, NamesSymbolsAndPropertiesMatchWithoutRegardToCase) {
  ReadComponentDescription(Compile("object Form1: ttestform\n"
                                   "  CAPTION = 'x'\n"
                                   "  object b: TTestButton\n"
                                   "    align = ALTOP\n"
                                   "    font.style = [FSITALIC]\n"
                                   "  end\n"
                                   "end\n"),
                           form);
  auto* button = dynamic_cast<TTestButton*>(form.FindComponent("B"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(form.Caption, "x");
  EXPECT_EQ(button->Align, TestAlign::Top);
  EXPECT_EQ(button->FontStyle, kFontItalic);
}

TEST_F(DescriptionComponentTest, WritingSkipsWhatIsNotStoredAndPutsExtraPropertiesLast) {
  auto* button = new TTestButton(&form);
  button->SetName("b_New");
  button->Caption = "";
  const DescriptionObject plain = DecodeDescription(WriteComponentDescription(form));
  ASSERT_EQ(plain.Children.size(), 1u);
  std::vector<std::string> names;
  for (const auto& property : plain.Children[0].Properties) names.push_back(property.Name);
  // No Tag (0), no empty Caption or Lines, no unbound event, no empty Data.
  EXPECT_EQ(names, (std::vector<std::string>{"Enabled", "Left", "Align", "Font.Style"}));

  button->Data = {9};
  button->Caption = "Go";
  button->SetTag(3);
  const DescriptionObject full = DecodeDescription(WriteComponentDescription(form));
  names.clear();
  for (const auto& property : full.Children[0].Properties) names.push_back(property.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Tag", "Enabled", "Left", "Caption", "Align", "Font.Style", "Data"}));

  TTestForm copy;
  ReadComponentDescription(WriteComponentDescription(form), copy);
  auto* restored = dynamic_cast<TTestButton*>(copy.FindComponent("b_New"));
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->Data, Bytes{9});
  EXPECT_EQ(restored->Caption, "Go");
}

TEST_F(DescriptionComponentTest, WritingRefusesValuesOutsideTheirSymbols) {
  auto* button = new TTestButton(&form);
  button->Align = static_cast<TestAlign>(3);
  EXPECT_THROW(WriteComponentDescription(form), Exception);
  button->Align = TestAlign::None;
  button->FontStyle = 4;
  EXPECT_THROW(WriteComponentDescription(form), Exception);
}

TEST_F(DescriptionComponentTest, DamagedBytesChangeNothing) {
  const Bytes bytes = Compile(kSampleText);
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_THROW(ReadComponentDescription(prefix, form), Exception) << size;
  }
  EXPECT_EQ(form.ComponentCount(), 0u);
  EXPECT_EQ(form.Caption, "");
}

struct ApplyFault {
  const char* body;  // inside "object Form1: TTestForm ... end"
  const char* message;
};

TEST_F(DescriptionComponentTest, FaultsNameTheObjectAndProperty) {
  const ApplyFault rows[] = {
      {"object x: TNoSuch\nend", "x: unknown class TNoSuch"},
      {"object TNoSuch\nend", "TNoSuch: unknown class TNoSuch"},
      {"object b: TTestButton\n Colour = 1\nend", "b.Colour: unknown property of TTestButton"},
      {"object b: TTestButton\n OnClick = Missing\nend", "b.OnClick: no handler named 'Missing'"},
      {"object b: TTestButton\n OnClick = NotAnEvent\nend", "b.OnClick: The handler bound to OnClick does not fit"},
      {"object b: TTestButton\n OnClick = 'b_OkClick'\nend", "b.OnClick: an identifier was expected, not a string"},
      {"object b: TTestButton\n Left = '1'\nend", "b.Left: an integer was expected, not a string"},
      {"object b: TTestButton\n Enabled = 1\nend", "b.Enabled: True or False was expected, not an integer"},
      {"object b: TTestButton\n Caption = Go\nend", "b.Caption: a string was expected, not an identifier"},
      {"object b: TTestButton\n Align = alLeft\nend", "b.Align: unknown value 'alLeft'"},
      {"object b: TTestButton\n Align = [alTop]\nend", "b.Align: an identifier was expected, not a set"},
      {"object b: TTestButton\n Font.Style = [fsUnderline]\nend", "b.Font.Style: unknown value 'fsUnderline'"},
      {"object b: TTestButton\n Lines.Strings = 'x'\nend", "b.Lines.Strings: a list of strings was expected, not a string"},
      {"object b: TTestButton\n Data = ('x')\nend", "b.Data: binary data was expected, not a list of strings"},
      {"object b: TTestButton\nend\nobject B: TTestButton\nend", "B: a component of that name already exists"},
  };
  for (const ApplyFault& row : rows) {
    TTestForm fresh;
    fresh.AddHandler("NotAnEvent", std::any(42));
    std::string error = "(accepted)";
    try {
      ReadComponentDescription(Compile(std::string("object Form1: TTestForm\n") + row.body + "\nend\n"), fresh);
    } catch (const Exception& e) {
      error = e.Message();
    }
    EXPECT_EQ(error.rfind("Error reading window description: ", 0), 0u) << error;
    EXPECT_NE(error.find(row.message), std::string::npos) << row.body << " gave: " << error;
  }
}

TEST_F(DescriptionComponentTest, DescriptionOfAnotherClassIsRefused) {
  EXPECT_NE(ReadError("object Help: Tf_Help\nend\n").find("Help: describes a Tf_Help, not a TTestForm"),
            std::string::npos);
}

TEST_F(DescriptionComponentTest, ComponentsCreatedBeforeAFailureStayOwnedByTheRoot) {
  EXPECT_NE(ReadError("object Form1: TTestForm\n"
                      "  object first: TTestButton\n  end\n"
                      "  object second: TTestButton\n    Left = 'x'\n  end\n"
                      "end\n")
                .find("second.Left"),
            std::string::npos);
  EXPECT_EQ(form.ComponentCount(), 2u);
  EXPECT_TRUE(LoadedLog().empty());
}

}  // namespace
