// Member name sanitising: the only way a member's name becomes a path.
#include "unzdll/engine/MemberName.h"

#include <algorithm>
#include <iterator>

#include "base/AsciiText.h"
#include "base/PathText.h"

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::vector<std::string> SplitElements(std::string_view name) {
  std::vector<std::string> elements(1);
  for (const char c : name) {
    if (IsSeparator(c))
      elements.emplace_back();
    else
      elements.back().push_back(c);
  }
  return elements;
}

std::string ElementProblem(const std::string& element) {
  for (const char c : element) {
    if (c == '\0') return "it holds a NUL character";
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "it holds a control character";
  }
  if (element.empty()) return "it has an empty name element";
  if (element == "." || element == "..") return "it has a '" + element + "' element";
  if (element.find(':') != std::string::npos) return "it holds a ':' (a drive or an alternate data stream)";
  if (element.back() == '.' || element.back() == ' ') return "a name element ends in a dot or a space";
  if (IsReservedDeviceName(element)) return "'" + element + "' is a reserved device name";
  return {};
}

std::string FolderNamesProblem(std::string_view name, const std::vector<std::string>& elements) {
  if (IsSeparator(name.front())) return "it is an absolute path";
  const std::string& first = elements.front();
  if (HasDrivePrefix(first)) return "it starts with a drive letter";
  if (std::find(elements.begin(), elements.end(), "..") != elements.end())
    return "it has a '..' element (it would leave the target folder)";
  for (const std::string& element : elements)
    if (std::string problem = ElementProblem(element); !problem.empty()) return problem;
  return {};
}

}  // namespace

MemberPath SanitizeMemberName(std::string_view name, bool folderNames) {
  MemberPath path;
  if (name.empty()) {
    path.problem = "it has no name";
    return path;
  }
  std::vector<std::string> elements = SplitElements(name);
  if (!folderNames) elements.erase(elements.begin(), elements.end() - 1);
  path.problem = folderNames ? FolderNamesProblem(name, elements) : ElementProblem(elements.back());
  if (path.problem.empty()) path.elements = std::move(elements);
  return path;
}

std::string PathKey(const std::vector<std::string>& elements) {
  std::string key;
  for (const std::string& element : elements) {
    if (!key.empty()) key.push_back('/');
    std::transform(element.begin(), element.end(), std::back_inserter(key), AsciiUpper);
  }
  return key;
}
