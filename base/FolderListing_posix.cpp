// Folder listings through POSIX calls.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "base/FileSystem.h"

namespace {

std::string Child(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + '/' + name;
}

}  // namespace

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<FolderEntry> entries;
  while (const dirent* found = ::readdir(dir)) {
    const std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = Child(folder, name);
    struct stat info {};
    struct stat linkInfo {};
    FolderEntry entry{name, EntryKind::File, false};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) entry.kind = EntryKind::Directory;
    if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) entry.isLink = true;
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}
