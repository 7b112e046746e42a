// The binary form: encoding widths, and every kind of damage the decoder must
// refuse with a clear message instead of reading out of bounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "component/DescriptionTree.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& bytes, std::initializer_list<int> values) {
  for (int value : values) bytes.push_back(static_cast<std::uint8_t>(value));
}

void AppendShort(Bytes& bytes, const std::string& text) {
  bytes.push_back(static_cast<std::uint8_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

// "TQD1", root object TTestForm "F", then the given property bytes (a name
// and a value), the end of properties and the end of children.
Bytes WithProperty(const std::string& name, std::initializer_list<int> value) {
  Bytes bytes{'T', 'Q', 'D', '1'};
  AppendShort(bytes, "TTestForm");
  AppendShort(bytes, "F");
  AppendShort(bytes, name);
  Append(bytes, value);
  Append(bytes, {0, 0});
  return bytes;
}

Bytes Nested(int depth) {
  Bytes bytes{'T', 'Q', 'D', '1'};
  for (int i = 0; i < depth; ++i) {
    AppendShort(bytes, "TTestPanel");
    Append(bytes, {0, 0});  // no name, no properties
  }
  for (int i = 0; i < depth; ++i) bytes.push_back(0);  // end of children
  return bytes;
}

std::string DecodeError(const Bytes& bytes) {
  try {
    DecodeDescription(bytes);
  } catch (const Exception& error) {
    return error.Message();
  }
  return "(accepted)";
}

DescriptionObject Sample() {
  DescriptionObject root;
  root.ClassName = "TTestForm";
  root.Name = "Form1";
  auto add = [&](const std::string& name, DescriptionValue value) {
    root.Properties.push_back({name, std::move(value), 0});
  };
  for (std::int32_t number : {0, -128, 127, 128, -129, 32767, 32768, -32769, INT32_MIN, INT32_MAX}) {
    DescriptionValue value;
    value.Integer = number;
    std::string name = "N";
    name += std::to_string(root.Properties.size());
    add(name, value);
  }
  auto make = [](DescriptionValueKind kind) {
    DescriptionValue value;
    value.Kind = kind;
    return value;
  };
  DescriptionValue value = make(DescriptionValueKind::String);
  value.Text = std::string(255, 's');
  add("Short", value);
  value.Text = std::string(256, 'l');
  add("Long", value);
  value = make(DescriptionValueKind::List);
  value.Items = {"", std::string(300, 'x'), "b"};
  add("Lines", value);
  value = make(DescriptionValueKind::Set);
  value.Items = {"fsBold", "fsItalic"};
  add("Style", value);
  value = make(DescriptionValueKind::Binary);
  value.Bytes = {0, 1, 2, 255};
  add("Data", value);
  value = make(DescriptionValueKind::Boolean);
  value.Boolean = true;
  add("Visible", value);
  value = make(DescriptionValueKind::Ident);
  value.Text = "alClient";
  add("Align", value);
  root.Children.resize(2);
  root.Children[0].ClassName = "TTestPanel";
  root.Children[1].ClassName = "TTestButton";
  root.Children[1].Name = "b_Ok";
  return root;
}

TEST(DescriptionTreeTest, EncodingAndDecodingKeepEveryValue) {
  const Bytes bytes = EncodeDescription(Sample());
  const DescriptionObject decoded = DecodeDescription(bytes);
  const DescriptionObject expected = Sample();
  ASSERT_EQ(decoded.Properties.size(), expected.Properties.size());
  for (std::size_t i = 0; i < expected.Properties.size(); ++i) {
    const DescriptionValue& got = decoded.Properties[i].Value;
    const DescriptionValue& want = expected.Properties[i].Value;
    EXPECT_EQ(decoded.Properties[i].Name, expected.Properties[i].Name);
    EXPECT_EQ(got.Kind, want.Kind) << i;
    EXPECT_EQ(got.Integer, want.Integer) << i;
    EXPECT_EQ(got.Boolean, want.Boolean) << i;
    EXPECT_EQ(got.Text, want.Text) << i;
    EXPECT_EQ(got.Items, want.Items) << i;
    EXPECT_EQ(got.Bytes, want.Bytes) << i;
  }
  ASSERT_EQ(decoded.Children.size(), 2u);
  EXPECT_EQ(decoded.Children[1].Name, "b_Ok");
  // From the end: the root's end of children, b_Ok's two end markers, its name, its class.
  EXPECT_EQ(decoded.Children[1].Offset, bytes.size() - 1 - 2 - (1 + 4) - (1 + 11));
  EXPECT_EQ(EncodeDescription(decoded), bytes);
}

TEST(DescriptionTreeTest, IntegersAndStringsTakeTheirSmallestForm) {
  auto typeOf = [](DescriptionValue value) {
    DescriptionObject root;
    root.ClassName = "T";
    root.Properties.push_back({"P", std::move(value), 0});
    return EncodeDescription(root)[4 + 2 + 1 + 2];  // signature, class, name, property name
  };
  DescriptionValue number;
  number.Integer = -128;
  EXPECT_EQ(typeOf(number), 0x02);
  number.Integer = 128;
  EXPECT_EQ(typeOf(number), 0x03);
  number.Integer = -32769;
  EXPECT_EQ(typeOf(number), 0x04);
  DescriptionValue text;
  text.Kind = DescriptionValueKind::String;
  text.Text = std::string(255, 'a');
  EXPECT_EQ(typeOf(text), 0x06);
  text.Text += 'a';
  EXPECT_EQ(typeOf(text), 0x0C);
}

TEST(DescriptionTreeTest, BinaryValueIsFramedAsTypeTenAndLittleEndianLength) {
  const Bytes bytes = WithProperty("FileData", {0x0A, 3, 0, 0, 0, 7, 8, 9});
  const DescriptionObject root = DecodeDescription(bytes);
  ASSERT_EQ(root.Properties.size(), 1u);
  EXPECT_EQ(root.Properties[0].Name, "FileData");
  EXPECT_EQ(root.Properties[0].Value.Kind, DescriptionValueKind::Binary);
  EXPECT_EQ(root.Properties[0].Value.Bytes, (Bytes{7, 8, 9}));
  EXPECT_EQ(EncodeDescription(root), bytes);
}

TEST(DescriptionTreeTest, EveryTruncationIsRefusedCleanly) {
  const Bytes bytes = EncodeDescription(Sample());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_EQ(DecodeError(prefix).rfind("Invalid window description: ", 0), 0u) << "size " << size;
  }
}

struct Damage {
  const char* what;
  Bytes bytes;
  const char* message;
};

TEST(DescriptionTreeTest, DamageIsRefusedWithWhatAndWhere) {
  const Damage rows[] = {
      {"wrong signature", {'T', 'P', 'F', '0', 1, 'T', 0, 0, 0}, "missing signature \"TQD1\" at offset 0"},
      {"empty root class", {'T', 'Q', 'D', '1', 0}, "empty root class name at offset 4"},
      {"unknown value type", WithProperty("P", {0x05, 0}), "unknown value type at offset 18"},
      {"null value type", WithProperty("P", {0x00}), "unknown value type at offset 18"},
      {"forged binary length", WithProperty("P", {0x0A, 0xFF, 0xFF, 0xFF, 0xFF, 1}), "truncated binary value at offset 23"},
      {"forged long string length", WithProperty("P", {0x0C, 0, 0, 0, 0x80, 'a'}), "truncated long string at offset 23"},
      {"forged short string length", WithProperty("P", {0x06, 200, 'a'}), "truncated string at offset 20"},
      {"list item not a string", WithProperty("P", {0x01, 0x06, 1, 'a', 0x02, 5, 0}), "list item that is not a string at offset 22"},
      {"empty identifier", WithProperty("P", {0x07, 0}), "empty identifier at offset 18"},
      {"unterminated set", WithProperty("P", {0x0B, 1, 'A'}), "truncated"},
      {"bytes after the root", [] { Bytes b = Nested(1); b.push_back(0); return b; }(), "bytes after the root object at offset 18"},
      {"too deep", Nested(kMaxDescriptionDepth + 1), "objects nested too deep at offset"},
  };
  for (const Damage& row : rows) EXPECT_NE(DecodeError(row.bytes).find(row.message), std::string::npos) << row.what << ": " << DecodeError(row.bytes);
}

TEST(DescriptionTreeTest, NestingUpToTheLimitIsAccepted) {
  DescriptionObject object = DecodeDescription(Nested(kMaxDescriptionDepth));
  int depth = 1;
  for (const DescriptionObject* at = &object; !at->Children.empty(); at = &at->Children[0]) ++depth;
  EXPECT_EQ(depth, kMaxDescriptionDepth);
}

TEST(DescriptionTreeTest, EncoderRefusesWhatTheFormatCannotHold) {
  DescriptionObject root;
  EXPECT_THROW(EncodeDescription(root), Exception);  // no class name
  root.ClassName = std::string(256, 'T');
  EXPECT_THROW(EncodeDescription(root), Exception);
  DescriptionObject leaf;
  leaf.ClassName = "T";
  root = leaf;
  DescriptionObject* at = &root;
  for (int i = 0; i < kMaxDescriptionDepth; ++i) {
    at->Children.push_back(leaf);
    at = &at->Children.back();
  }
  EXPECT_THROW(EncodeDescription(root), Exception);
}

}  // namespace
