// Encoding a window description's tree in the binary form.
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteWriter.h"
#include "base/Exception.h"
#include "component/DescriptionTree.h"

// Kept apart from the decoder: the setup program only reads descriptions, and
// its link takes whole object files.
namespace {

class DescriptionWriter : public ByteWriter {
 public:
  void Type(DescriptionValueType type) { U8(static_cast<std::uint8_t>(type)); }

  void ShortString(const std::string& text, const char* what) {
    if (text.size() > 255) throw Exception(std::string("Window description: ") + what + " longer than 255 characters: " + text);
    U8(static_cast<std::uint8_t>(text.size()));
    Characters(text);
  }

  void NonEmptyShortString(const std::string& text, const char* what) {
    if (text.empty()) throw Exception(std::string("Window description: empty ") + what);
    ShortString(text, what);
  }

  void Length(std::size_t size) {
    if (size > UINT32_MAX) throw Exception("Window description: value larger than 4 GB");
    Unsigned(static_cast<std::uint32_t>(size), 4);
  }

  void AnyString(const std::string& text) {
    if (text.size() <= 255) {
      Type(DescriptionValueType::String);
      ShortString(text, "string");
    } else {
      Type(DescriptionValueType::LString);
      Length(text.size());
      Characters(text);
    }
  }

  void Integer(std::int32_t value) {
    if (value >= INT8_MIN && value <= INT8_MAX) {
      Type(DescriptionValueType::Int8);
      Unsigned(static_cast<std::uint32_t>(value), 1);
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
      Type(DescriptionValueType::Int16);
      Unsigned(static_cast<std::uint32_t>(value), 2);
    } else {
      Type(DescriptionValueType::Int32);
      Unsigned(static_cast<std::uint32_t>(value), 4);
    }
  }

  void Value(const DescriptionValue& value) {
    switch (value.Kind) {
      case DescriptionValueKind::Integer:
        Integer(value.Integer);
        break;
      case DescriptionValueKind::String:
        AnyString(value.Text);
        break;
      case DescriptionValueKind::Ident:
        Type(DescriptionValueType::Ident);
        NonEmptyShortString(value.Text, "identifier");
        break;
      case DescriptionValueKind::Boolean:
        Type(value.Boolean ? DescriptionValueType::True : DescriptionValueType::False);
        break;
      case DescriptionValueKind::Binary:
        Type(DescriptionValueType::Binary);
        Length(value.Binary().size());
        Bytes(value.Binary());
        break;
      case DescriptionValueKind::Set:
        Type(DescriptionValueType::Set);
        for (const std::string& member : value.Items) NonEmptyShortString(member, "set member");
        U8(0);
        break;
      case DescriptionValueKind::List:
        Type(DescriptionValueType::List);
        for (const std::string& item : value.Items) AnyString(item);
        U8(0);
        break;
    }
  }

  void Object(const DescriptionObject& object, int depth) {
    if (depth > kMaxDescriptionDepth) throw Exception("Window description: objects nested too deep");
    NonEmptyShortString(object.ClassName, "class name");
    ShortString(object.Name, "object name");
    for (const DescriptionProperty& property : object.Properties) {
      NonEmptyShortString(property.Name, "property name");
      Value(property.Value);
    }
    U8(0);
    for (const DescriptionObject& child : object.Children) Object(child, depth + 1);
    U8(0);
  }
};

}  // namespace

std::vector<std::uint8_t> EncodeDescription(const DescriptionObject& root) {
  DescriptionWriter writer;
  writer.Characters(kDescriptionSignature);
  writer.Object(root, 1);
  return writer.Take();
}
