#include "component/DescriptionTree.h"

#include <algorithm>
#include <cstdint>

#include "base/Exception.h"

namespace {

// Reads the binary form front to back; every read checks the bytes that
// remain first, so a forged length fails here instead of reading past the end
// or allocating for bytes that are not there.
class DescriptionReader {
 public:
  explicit DescriptionReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Offset() const { return offset_; }
  bool AtEnd() const { return offset_ == bytes_.size(); }

  [[noreturn]] void Fail(const std::string& what, std::size_t at) const {
    throw Exception("Invalid window description: " + what + " at offset " + std::to_string(at));
  }

  void Require(std::size_t count, const char* what) const {
    if (count > bytes_.size() - offset_) Fail(std::string("truncated ") + what, offset_);
  }

  std::uint8_t Byte(const char* what) {
    Require(1, what);
    return bytes_[offset_++];
  }

  std::uint32_t Unsigned(std::size_t width, const char* what) {
    Require(width, what);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value |= static_cast<std::uint32_t>(bytes_[offset_ + i]) << (8 * i);
    offset_ += width;
    return value;
  }

  std::int32_t Signed(std::size_t width, const char* what) {
    const std::uint32_t raw = Unsigned(width, what);
    const std::uint32_t sign = 1u << (8 * width - 1);
    if (width < 4 && (raw & sign) != 0) return static_cast<std::int32_t>(raw | ~((sign << 1) - 1));
    return static_cast<std::int32_t>(raw);
  }

  std::string Characters(std::size_t count, const char* what) {
    Require(count, what);
    std::string text(reinterpret_cast<const char*>(bytes_.data() + offset_), count);
    offset_ += count;
    return text;
  }

  std::string ShortString(const char* what) { return Characters(Byte(what), what); }

  std::span<const std::uint8_t> Bytes(std::size_t count, const char* what) {
    Require(count, what);
    const std::span<const std::uint8_t> result = bytes_.subspan(offset_, count);
    offset_ += count;
    return result;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
};

std::string ReadLongString(DescriptionReader& reader) {
  return reader.Characters(reader.Unsigned(4, "long string length"), "long string");
}

DescriptionValue ReadValue(DescriptionReader& reader, BinaryValues binaryValues) {
  const std::size_t at = reader.Offset();
  DescriptionValue value;
  const auto type = static_cast<DescriptionValueType>(reader.Byte("value type"));
  switch (type) {
    case DescriptionValueType::Int8:
      value.Integer = reader.Signed(1, "integer");
      break;
    case DescriptionValueType::Int16:
      value.Integer = reader.Signed(2, "integer");
      break;
    case DescriptionValueType::Int32:
      value.Integer = reader.Signed(4, "integer");
      break;
    case DescriptionValueType::String:
      value.Kind = DescriptionValueKind::String;
      value.Text = reader.ShortString("string");
      break;
    case DescriptionValueType::LString:
      value.Kind = DescriptionValueKind::String;
      value.Text = ReadLongString(reader);
      break;
    case DescriptionValueType::Ident:
      value.Kind = DescriptionValueKind::Ident;
      value.Text = reader.ShortString("identifier");
      if (value.Text.empty()) reader.Fail("empty identifier", at);
      break;
    case DescriptionValueType::False:
    case DescriptionValueType::True:
      value.Kind = DescriptionValueKind::Boolean;
      value.Boolean = type == DescriptionValueType::True;
      break;
    case DescriptionValueType::Binary:
      value.Kind = DescriptionValueKind::Binary;
      value.View = reader.Bytes(reader.Unsigned(4, "binary length"), "binary value");
      if (binaryValues == BinaryValues::Copied) {
        value.Bytes.assign(value.View.begin(), value.View.end());
        value.View = {};
      }
      break;
    case DescriptionValueType::Set:
      value.Kind = DescriptionValueKind::Set;
      for (std::string member = reader.ShortString("set"); !member.empty(); member = reader.ShortString("set"))
        value.Items.push_back(std::move(member));
      break;
    case DescriptionValueType::List:
      value.Kind = DescriptionValueKind::List;
      for (;;) {
        const std::size_t itemAt = reader.Offset();
        const auto itemType = static_cast<DescriptionValueType>(reader.Byte("list"));
        if (itemType == static_cast<DescriptionValueType>(0)) break;
        if (itemType == DescriptionValueType::String)
          value.Items.push_back(reader.ShortString("list item"));
        else if (itemType == DescriptionValueType::LString)
          value.Items.push_back(ReadLongString(reader));
        else
          reader.Fail("list item that is not a string", itemAt);
      }
      break;
    default:
      reader.Fail("unknown value type", at);
  }
  return value;
}

DescriptionObject ReadObject(DescriptionReader& reader, std::string className, std::size_t at, int depth,
                             BinaryValues binaryValues) {
  if (depth > kMaxDescriptionDepth) reader.Fail("objects nested too deep", at);
  DescriptionObject object;
  object.Offset = at;
  object.ClassName = std::move(className);
  object.Name = reader.ShortString("object name");
  for (;;) {
    const std::size_t propertyAt = reader.Offset();
    std::string name = reader.ShortString("property name");
    if (name.empty()) break;
    object.Properties.push_back({std::move(name), ReadValue(reader, binaryValues), propertyAt});
  }
  for (;;) {
    const std::size_t childAt = reader.Offset();
    std::string childClass = reader.ShortString("class name");
    if (childClass.empty()) break;
    object.Children.push_back(ReadObject(reader, std::move(childClass), childAt, depth + 1, binaryValues));
  }
  return object;
}

}  // namespace

DescriptionObject DecodeDescription(std::span<const std::uint8_t> bytes, BinaryValues binaryValues) {
  DescriptionReader reader(bytes);
  const std::size_t signatureSize = sizeof kDescriptionSignature - 1;
  if (reader.Characters(std::min(signatureSize, bytes.size()), "signature") != kDescriptionSignature)
    reader.Fail("missing signature \"TQD1\"", 0);
  const std::size_t rootAt = reader.Offset();
  std::string rootClass = reader.ShortString("class name");
  if (rootClass.empty()) reader.Fail("empty root class name", rootAt);
  DescriptionObject root = ReadObject(reader, std::move(rootClass), rootAt, 1, binaryValues);
  if (!reader.AtEnd()) reader.Fail("bytes after the root object", reader.Offset());
  return root;
}
