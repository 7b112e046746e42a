#include "uninstall/tests/FakeSystem.h"

#include "base/AsciiText.h"
#include "uninstall/PathMatch.h"

namespace {

// "." and ".." resolved within the path, never above its root.
std::string WithoutDots(const std::string& path) {
  const std::size_t rootEnd = path.find('\\', path.rfind("\\\\", 0) == 0 ? path.find('\\', 2) + 1 : 0);
  if (rootEnd == std::string::npos) return path;
  std::vector<std::string> parts;
  std::size_t start = rootEnd + 1;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string full = path.substr(0, rootEnd + 1);
  for (std::size_t i = 0; i < parts.size(); ++i) full += (i > 0 ? "\\" : "") + parts[i];
  return full;
}

}  // namespace

void FakeSystem::AddLink(const std::string& linkPath, const std::string& target) {
  files.insert(linkPath);
  links[linkPath] = {target, {}, {}, {}};
}

std::optional<std::string> FakeSystem::ShellLinkTarget(const std::string& linkPath) {
  if (files.count(linkPath) == 0) return std::nullopt;
  return FakeWindowsSystem::ShellLinkTarget(linkPath);
}

std::string FakeSystem::FullPath(const std::string& path) {
  const std::string plain = PlainPathText(path);
  if (!IsFullPath(plain)) return {};
  std::string full = WithoutDots(plain);
  // The system knows a short name only while its file or folder exists.
  for (const auto& [shortForm, longForm] : shortNames) {
    if (AsciiUpperCase(full + "\\").rfind(AsciiUpperCase(shortForm) + "\\", 0) == 0 &&
        removedFolders.count(longForm) == 0) {
      full = longForm + full.substr(shortForm.size());
    }
  }
  return full;
}

bool FakeSystem::SameFullPath(const std::string& left, const std::string& right) { return SameTextAscii(left, right); }

FolderKind FakeSystem::InspectFolder(const std::string& path) {
  const auto kind = folderKinds.find(path);
  if (kind != folderKinds.end()) return kind->second;
  return removedFolders.count(path) != 0 ? FolderKind::Missing : FolderKind::Folder;
}

FolderKind FakeSystem::HoldFolder(const std::string& path) { return InspectFolder(path); }

bool FakeSystem::FolderIsEmpty(const std::string& path) {
  for (const std::string& file : files) {
    if (file.rfind(path + "\\", 0) == 0) return false;
  }
  return true;
}

Outcome FakeSystem::RemoveFile(const std::string& path) {
  if (lockedFiles.count(path) != 0) return Outcome::Failed("in use by another program");
  if (runningFiles.count(path) != 0) return Outcome::Failed("a running program");
  log.push_back("file " + path);
  files.erase(path);
  return Outcome::Done();
}

Outcome FakeSystem::SetAside(const std::string& path) {
  log.push_back("set aside " + path);
  if (unmovableFiles.count(path) != 0) {
    filesAtRestart.insert(path);
    return Outcome::AtRestart();
  }
  files.erase(path);
  return Outcome::Done();
}

Outcome FakeSystem::RemoveFolder(const std::string& path, bool atRestart) {
  log.push_back("folder " + path);
  if (atRestart) {
    foldersAtRestart.insert(path);
    return Outcome::AtRestart();
  }
  removedFolders.insert(path);
  return Outcome::Done();
}
