// Decoding the binary form of a window description into its tree.
#include "component/DescriptionTree.h"

#include <algorithm>
#include <cstdint>

#include "base/ByteReader.h"
#include "base/Exception.h"

namespace {

// Reads the binary form front to back; every read checks the bytes that
// remain first (ByteReader), so a forged length fails here, naming what was
// cut short, instead of reading past the end or allocating for bytes that
// are not there.
class DescriptionReader {
 public:
  explicit DescriptionReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Offset() const { return bytes_.Offset(); }
  bool AtEnd() const { return bytes_.AtEnd(); }

  [[noreturn]] void Fail(const std::string& what, std::size_t at) const {
    throw Exception("Invalid window description: " + what + " at offset " + std::to_string(at));
  }

  // The reader, once count bytes are known to remain.
  ByteReader& Require(std::size_t count, const char* what) {
    if (count > bytes_.Remaining()) Fail(std::string("truncated ") + what, Offset());
    return bytes_;
  }

  std::uint8_t Byte(const char* what) { return Require(1, what).U8(); }
  std::uint32_t Unsigned(std::size_t width, const char* what) { return Require(width, what).Unsigned(width); }
  std::int32_t Signed(std::size_t width, const char* what) { return Require(width, what).Signed(width); }
  std::string Characters(std::size_t count, const char* what) {
    return std::string(reinterpret_cast<const char*>(Bytes(count, what).data()), count);
  }
  std::string ShortString(const char* what) { return Characters(Byte(what), what); }
  std::span<const std::uint8_t> Bytes(std::size_t count, const char* what) { return Require(count, what).Bytes(count); }

 private:
  ByteReader bytes_;
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
