// The decoded form of a stored window description: a tree of objects with
// typed values, and the binary encoding both ways. The text form and the
// component reader and writer all go through this tree, so every byte is
// checked in one place.
//
// Binary layout (all multi-byte numbers little-endian):
//   description := "TQD1" object
//   object      := short(class) short(name) property* 0x00 object* 0x00
//   property    := short(name, not empty) type value
//   short(s)    := length byte, then that many characters
//   type value  := 0x01 (0x06 string | 0x0C long string)* 0x00    list of strings
//                | 0x02 int8 | 0x03 int16 | 0x04 int32            integer
//                | 0x06 short(s)                                  string
//                | 0x07 short(identifier, not empty)              identifier
//                | 0x08 | 0x09                                    False | True
//                | 0x0A uint32 length, then the bytes             binary
//                | 0x0B short(identifier)* 0x00                   set
//                | 0x0C uint32 length, then the characters        long string
// A class name is never empty, so a 0x00 where an object would start ends a
// list of children; a property name is never empty, so 0x00 ends properties.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr char kDescriptionSignature[] = "TQD1";
// Objects nest at most this deep (the root is depth 1): enough for any
// window, and a bound on the reader's recursion.
inline constexpr int kMaxDescriptionDepth = 32;

enum class DescriptionValueType : std::uint8_t {
  List = 0x01,
  Int8 = 0x02,
  Int16 = 0x03,
  Int32 = 0x04,
  String = 0x06,
  Ident = 0x07,
  False = 0x08,
  True = 0x09,
  Binary = 0x0A,
  Set = 0x0B,
  LString = 0x0C,
};

// What a value is, whatever its width in the binary form.
enum class DescriptionValueKind : std::uint8_t { Integer, String, Ident, Boolean, Binary, Set, List };

struct DescriptionValue {
  DescriptionValueKind Kind = DescriptionValueKind::Integer;
  std::int32_t Integer = 0;          // Integer
  bool Boolean = false;              // Boolean
  std::string Text;                  // String, Ident
  std::vector<std::string> Items;    // Set members, List lines
  std::vector<std::uint8_t> Bytes;   // Binary, held by the value
  std::span<const std::uint8_t> View;  // Binary, decoded as a view into the input

  // A Binary value's bytes, wherever they are held.
  std::span<const std::uint8_t> Binary() const { return View.data() != nullptr ? View : Bytes; }
};

struct DescriptionProperty {
  std::string Name;
  DescriptionValue Value;
  std::size_t Offset = 0;  // where the property starts in the binary form
};

struct DescriptionObject {
  std::string ClassName;
  std::string Name;
  std::vector<DescriptionProperty> Properties;
  std::vector<DescriptionObject> Children;
  std::size_t Offset = 0;  // where the object starts in the binary form
};

// Where DecodeDescription puts binary values: copied into Bytes, or as
// views into the decoded bytes (View), which must then outlive the tree; a
// window that carries large files reads them where they lie.
enum class BinaryValues { Copied, Viewed };

// Decodes and checks a whole description: every length is checked against the
// bytes that remain before anything is allocated, nesting is limited to
// kMaxDescriptionDepth, and nothing may follow the root object. Throws
// Exception "Invalid window description: WHAT at offset N".
DescriptionObject DecodeDescription(std::span<const std::uint8_t> bytes,
                                    BinaryValues binaryValues = BinaryValues::Copied);

// Encodes a tree in the smallest form of each value (int8 before int16 before
// int32, short strings up to 255 characters). Throws Exception for a tree the
// format cannot hold (a name longer than 255 characters, an empty class or
// property name or identifier, nesting deeper than kMaxDescriptionDepth).
std::vector<std::uint8_t> EncodeDescription(const DescriptionObject& root);
