#include "base/PathText.h"

#include "base/AsciiText.h"

namespace {

constexpr const char* kSeparators = "\\/:";

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

bool HasDrivePrefix(std::string_view path) {
  return path.size() >= 2 && AsciiUpper(path[0]) >= 'A' && AsciiUpper(path[0]) <= 'Z' && path[1] == ':';
}

bool HasExtension(const std::string& path, std::string_view extension) {
  return SameTextAscii(ExtensionOf(path), extension);
}

bool IsReservedDeviceName(std::string_view element) {
  std::string_view stem = element.substr(0, element.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
    if (SameTextAscii(stem, device)) return true;
  }
  if (stem.size() != 4 || !(SameTextAscii(stem.substr(0, 3), "COM") || SameTextAscii(stem.substr(0, 3), "LPT")))
    return false;
  const auto digit = static_cast<unsigned char>(stem[3]);
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}
