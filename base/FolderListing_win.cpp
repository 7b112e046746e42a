// Folder listings through the Win32 ANSI calls.
#include <windows.h>

#include <algorithm>

#include "base/FileSystem.h"

namespace {

std::string SearchPattern(const std::string& folder) {
  if (folder.empty()) return "*";
  const char last = folder.back();
  return last == '/' || last == '\\' || last == ':' ? folder + "*" : folder + "\\*";
}

}  // namespace

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(SearchPattern(folder).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    // An empty folder still has "." and ".."; only the root of a drive can
    // have nothing at all, and then the search says so.
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<FolderEntry>{};
    return std::nullopt;
  }
  std::vector<FolderEntry> entries;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const bool folderEntry = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entries.push_back({name, folderEntry ? EntryKind::Directory : EntryKind::File, link});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}
