// Folder listings and file facts through POSIX calls (the native build).
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "zipdll/engine/FileScan.h"

namespace {

std::uint32_t DosDateTime(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr || local.tm_year < 80) return (1u << 5 | 1u) << 16;
  const auto year = static_cast<std::uint32_t>(std::min(local.tm_year - 80, 127));
  const std::uint32_t date = year << 9 | static_cast<std::uint32_t>(local.tm_mon + 1) << 5 |
                             static_cast<std::uint32_t>(local.tm_mday);
  const std::uint32_t time = static_cast<std::uint32_t>(local.tm_hour) << 11 |
                             static_cast<std::uint32_t>(local.tm_min) << 5 |
                             static_cast<std::uint32_t>(local.tm_sec / 2);
  return date << 16 | time;
}

std::string Folder(const std::string& folder) { return folder.empty() ? "." : folder; }

std::string Child(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + '/' + name;
}

}  // namespace

FileFacts QueryFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  FileFacts facts;
  facts.kind = S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::File;
  facts.size = static_cast<std::uint64_t>(info.st_size);
  facts.dosDateTime = DosDateTime(info.st_mtime);
  return facts;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  DIR* dir = ::opendir(Folder(folder).c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<FolderEntry> entries;
  while (const dirent* found = ::readdir(dir)) {
    const std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = Child(folder, name);
    struct stat info {};
    struct stat linkInfo {};
    FolderEntry entry{name, EntryKind::File, false};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) entry.kind = EntryKind::Folder;
    if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) entry.isLink = true;
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}
