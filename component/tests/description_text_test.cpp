// The text form: round trips with the binary form, file references, and
// errors that name the line.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "component/DescriptionText.h"
#include "component/DescriptionTree.h"
#include "component/tests/SampleDescription.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes NoFiles(const std::string& path) { throw Exception("Cannot open file " + path); }

Bytes Compile(const std::string& text) { return DescriptionFromText(text, NoFiles); }

std::string CompileError(const std::string& text) {
  try {
    Compile(text);
  } catch (const Exception& error) {
    return error.Message();
  }
  return "(accepted)";
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(DescriptionTextTest, CanonicalTextSurvivesBinaryAndBack) {
  const Bytes binary = Compile(kSampleText);
  EXPECT_EQ(DescriptionToText(binary), kSampleText);
  EXPECT_EQ(Compile(DescriptionToText(binary)), binary);
}

TEST(DescriptionTextTest, ValuesReadAsTheirKinds) {
  const DescriptionObject root = DecodeDescription(Compile(
      "object F: TForm\n"
      "  A = -2147483648\n"
      "  B = 'a' + // joined with the next line\n"
      "      'b'#9\n"
      "  C = tRUE\n"
      "  D = [ x ,y]\n"
      "  E = { 0a 0B\n ff }\n"
      "  F = ( 'l1' 'l2'\n 'l' + '3' )\n"
      "  G = alClient\n"
      "  Font.Name = ''\n"
      "end"));
  const auto& p = root.Properties;
  ASSERT_EQ(p.size(), 8u);
  EXPECT_EQ(p[0].Value.Integer, INT32_MIN);
  EXPECT_EQ(p[1].Value.Text, "ab\t");
  EXPECT_EQ(p[2].Value.Kind, DescriptionValueKind::Boolean);
  EXPECT_TRUE(p[2].Value.Boolean);
  EXPECT_EQ(p[3].Value.Items, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(p[4].Value.Bytes, (Bytes{0x0A, 0x0B, 0xFF}));
  EXPECT_EQ(p[5].Value.Items, (std::vector<std::string>{"l1", "l2", "l3"}));
  EXPECT_EQ(p[6].Value.Kind, DescriptionValueKind::Ident);
  EXPECT_EQ(p[7].Name, "Font.Name");
  EXPECT_EQ(p[7].Value.Text, "");
}

TEST(DescriptionTextTest, UnnamedObjectsAndPropertiesNamedLikeKeywords) {
  const std::string text =
      "object TForm\n"
      "  object = 1\n"
      "  end = 2\n"
      "  object TPanel\n"
      "  end\n"
      "end\n";
  const DescriptionObject root = DecodeDescription(Compile(text));
  EXPECT_EQ(root.ClassName, "TForm");
  EXPECT_EQ(root.Name, "");
  ASSERT_EQ(root.Properties.size(), 2u);
  EXPECT_EQ(root.Properties[1].Name, "end");
  ASSERT_EQ(root.Children.size(), 1u);
  EXPECT_EQ(DescriptionToText(Compile(text)), text);
}

TEST(DescriptionTextTest, ControlAndHighCharactersPrintAsCodes) {
  DescriptionObject root;
  root.ClassName = "T";
  DescriptionValue value;
  value.Kind = DescriptionValueKind::String;
  value.Text = std::string("\x01q'\xE9", 4) + std::string(300, 'z');
  root.Properties.push_back({"S", value, 0});
  const Bytes binary = EncodeDescription(root);
  const std::string text = DescriptionToText(binary);
  EXPECT_NE(text.find("S = #1'q'''#233'zzz"), std::string::npos) << text;
  EXPECT_EQ(Compile(text), binary);
}

TEST(DescriptionTextTest, PrintingRefusesWhatTextCannotSayBack) {
  DescriptionObject root;
  root.ClassName = "T";
  DescriptionValue value;
  value.Kind = DescriptionValueKind::Ident;
  value.Text = "True";
  root.Properties.push_back({"P", value, 0});
  EXPECT_THROW(DescriptionToText(EncodeDescription(root)), Exception);
  root.Properties[0].Value.Text = "two words";
  EXPECT_THROW(DescriptionToText(EncodeDescription(root)), Exception);
}

TEST(DescriptionTextTest, FilesGiveBinaryValuesAndLines) {
  const std::map<std::string, Bytes> files = {
      {"data/side.bmp", Bytes{'B', 'M', 0, 13, 10, 0xFF}},
      {"data/ReadMe.txt", AsBytes("first\r\n\r\nthird\nfourth\rfifth\r\n")},
      {"data/NoEnd.txt", AsBytes("a\r\nb")},
      {"data/Empty.txt", Bytes{}},
  };
  std::vector<std::string> asked;
  auto readFile = [&](const std::string& path) {
    asked.push_back(path);
    return files.at(path);
  };
  const DescriptionObject root = DecodeDescription(DescriptionFromText(
      "object F: TForm\n"
      "  Picture.Data = @file 'data/side.bmp'\n"
      "  Lines.Strings = @lines 'data/ReadMe.txt'\n"
      "  Other.Strings = @lines 'data/NoEnd.txt'\n"
      "  None.Strings = @lines 'data/Empty.txt'\n"
      "end\n",
      readFile));
  EXPECT_EQ(asked, (std::vector<std::string>{"data/side.bmp", "data/ReadMe.txt", "data/NoEnd.txt", "data/Empty.txt"}));
  EXPECT_EQ(root.Properties[0].Value.Kind, DescriptionValueKind::Binary);
  EXPECT_EQ(root.Properties[0].Value.Bytes, files.at("data/side.bmp"));
  EXPECT_EQ(root.Properties[1].Value.Kind, DescriptionValueKind::List);
  EXPECT_EQ(root.Properties[1].Value.Items, (std::vector<std::string>{"first", "", "third", "fourth", "fifth"}));
  EXPECT_EQ(root.Properties[2].Value.Items, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(root.Properties[3].Value.Items.empty());
}

struct TextFault {
  const char* text;
  const char* message;
};

TEST(DescriptionTextTest, FaultsNameTheirLine) {
  const TextFault rows[] = {
      {"object F: T\n  A = 'open\nend\n", "line 2: string not closed on its line"},
      {"object F: T\n  A = 1\n", "line 3: expected a property, 'object' or 'end'"},
      {"object F: T\n\n  A = 2147483648\nend\n", "line 3: integer out of range"},
      {"object F: T\n  A = -2147483649\nend\n", "line 2: integer out of range"},
      {"object F: T\n  A = 12ab\nend\n", "line 2: malformed number"},
      {"object F: T\n  A = {\n 0A0\n}\nend\n", "line 4: odd number of hexadecimal digits"},
      {"object F: T\n  A = {0G}\nend\n", "line 2: not a hexadecimal digit: 'G'"},
      {"object F: T\n  A = {00\n", "line 2: binary value not closed by '}'"},
      {"object F: T\n  A = #256\nend\n", "line 2: character code must be #0 to #255"},
      {"object F: T\n  A = @blob 'x'\nend\n", "line 2: expected @file or @lines, not @blob"},
      {"object F: T\n  A = @file x\nend\n", "line 2: expected a quoted file name after @file"},
      {"object F: T\n  A = @file 'missing.bmp'\nend\n", "line 2: Cannot open file missing.bmp"},
      {"object F: T\n  A = [a b]\nend\n", "line 2: expected ',' or ']' in a set"},
      {"object F: T\n  A = ('a' 1)\nend\n", "line 2: expected a string or ')' in a list"},
      {"object F: T\n  A = 'a' +\nend\n", "line 3: expected a string after '+'"},
      {"object F: T\n  A = $\nend\n", "line 2: unexpected character '$'"},
      {"object F: T\n  A = ]\nend\n", "line 2: expected a value"},
      {"object F: 5\nend\n", "line 1: expected a class name after ':'"},
      {"F: T\nend\n", "line 1: expected 'object'"},
      {"object F: T\nend\nend\n", "line 3: text after the root object's 'end'"},
  };
  for (const TextFault& row : rows) {
    const std::string error = CompileError(row.text);
    EXPECT_EQ(error.rfind("Invalid window description text, ", 0), 0u) << error;
    EXPECT_NE(error.find(row.message), std::string::npos) << row.text << " gave: " << error;
  }
}

TEST(DescriptionTextTest, NestingBeyondTheLimitIsRefused) {
  auto nested = [](int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "object T\n";
    for (int i = 0; i < depth; ++i) text += "end\n";
    return text;
  };
  EXPECT_NO_THROW(Compile(nested(kMaxDescriptionDepth)));
  EXPECT_NE(CompileError(nested(kMaxDescriptionDepth + 1)).find("line 33: objects nested too deep"), std::string::npos);
}

}  // namespace
