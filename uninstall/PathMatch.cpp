#include "uninstall/PathMatch.h"

#include "base/AsciiText.h"
#include "base/PathText.h"

namespace {

constexpr std::string_view kLiteralPrefix = "\\\\?\\";
constexpr std::string_view kLiteralNetworkPrefix = "\\\\?\\UNC\\";

std::string WithBackslashes(std::string_view path) {
  std::string text(path);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

}  // namespace

std::string PlainPathText(const std::string& path) {
  std::string text = WithBackslashes(path);
  if (SameTextAscii(text.substr(0, kLiteralNetworkPrefix.size()), kLiteralNetworkPrefix)) {
    text = "\\\\" + text.substr(kLiteralNetworkPrefix.size());
  } else if (SameTextAscii(text.substr(0, kLiteralPrefix.size()), kLiteralPrefix)) {
    text = text.substr(kLiteralPrefix.size());
  }
  std::string plain;
  plain.reserve(text.size());
  for (char c : text) {
    // A network path's leading "\\" is not a doubled separator.
    if (c == '\\' && plain.size() > 1 && plain.back() == '\\') continue;
    plain.push_back(c);
  }
  return plain;
}

bool IsFullPath(const std::string& plainPath) {
  if (HasDrivePrefix(plainPath)) return plainPath.size() >= 3 && plainPath[2] == '\\';
  // "\\server\share": a server name, then a share name.
  if (plainPath.rfind("\\\\", 0) != 0) return false;
  const std::size_t shareStart = plainPath.find('\\', 2);
  return shareStart != std::string::npos && shareStart > 2 && shareStart + 1 < plainPath.size() &&
         plainPath[2] != '?' && plainPath[2] != '.';
}

bool IsRootFolder(const std::string& fullPath) {
  const std::string plain = PlainPathText(fullPath);
  if (HasDrivePrefix(plain)) return plain.size() <= 3;
  if (!IsFullPath(plain)) return false;
  const std::size_t shareStart = plain.find('\\', 2);
  const std::size_t afterShare = plain.find('\\', shareStart + 1);
  return afterShare == std::string::npos || afterShare + 1 == plain.size();
}

std::string FolderOfPath(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return {};
  const bool driveRoot = separator == 2 && HasDrivePrefix(path);
  return path.substr(0, driveRoot ? separator + 1 : separator);
}

std::vector<std::string> CommandProgramCandidates(const std::string& command) {
  if (!command.empty() && command.front() == '"') {
    const std::size_t close = command.find('"', 1);
    if (close == std::string::npos) return {};
    return {command.substr(1, close - 1)};
  }
  std::vector<std::string> candidates;
  for (std::size_t blank = command.find(' '); blank != std::string::npos; blank = command.find(' ', blank + 1)) {
    if (blank > 0) candidates.push_back(command.substr(0, blank));
  }
  if (!command.empty()) candidates.push_back(command);
  return candidates;
}
