// Stored member names: splitting, stripping and the refusal rules.
#include "zipdll/engine/MemberName.h"

#include <algorithm>
#include <vector>

#include "base/PathText.h"

namespace {

constexpr std::size_t kLongestName = 65535;  // the headers' 16-bit length field

std::vector<std::string_view> Elements(std::string_view path) {
  if (HasDrivePrefix(path)) path.remove_prefix(2);
  std::vector<std::string_view> elements;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find_first_of("/\\", start), path.size());
    const std::string_view element = path.substr(start, end - start);
    if (!element.empty() && element != ".") elements.push_back(element);
    start = end + 1;
  }
  return elements;
}

// Why element cannot be stored, or "" when it can.
std::string ElementRefusal(std::string_view element) {
  if (element == "..") return "it climbs out of its folder (a \"..\" element)";
  for (const char c : element) {
    if (static_cast<unsigned char>(c) < 0x20) return "it holds a control character";
    if (std::string_view(":*?\"<>|").find(c) != std::string_view::npos) {
      return "it holds a character Windows file names cannot hold (: * ? \" < > |)";
    }
  }
  if (element.back() == '.' || element.back() == ' ') return "an element ends in a dot or a space";
  if (IsReservedDeviceName(element)) return "an element is a reserved device name";
  return "";
}

}  // namespace

MemberNameResult MemberNameFor(std::string_view path, bool folderNames) {
  std::vector<std::string_view> elements = Elements(path);
  if (elements.empty()) return {"", "the name is empty"};
  if (!folderNames) elements.erase(elements.begin(), elements.end() - 1);
  std::string name;
  for (const auto element : elements) {
    if (std::string refusal = ElementRefusal(element); !refusal.empty()) return {"", refusal};
    if (!name.empty()) name += '/';
    name += element;
  }
  if (name.size() > kLongestName) return {"", "the name is longer than 65535 bytes"};
  return {name, ""};
}
