#include "sysint/PathParts.h"

namespace {

constexpr const char* kSeparators = "\\:";

}  // namespace

std::string ExtensionOf(const std::string& path) {
  const std::size_t dot = path.find_last_of(std::string(".") + kSeparators);
  if (dot == std::string::npos || path[dot] != '.') return {};
  return path.substr(dot);
}

std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of(kSeparators);
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string UpperCaseAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool HasLinkExtension(const std::string& path) {
  return UpperCaseAscii(ExtensionOf(path)) == ".LNK";
}
