// Folder listings and file facts through the Win32 ANSI calls.
#include <windows.h>

#include <algorithm>

#include "zipdll/engine/FileScan.h"

namespace {

std::uint32_t DosDateTime(const FILETIME& written) {
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &date, &time)) {
    return (1u << 5 | 1u) << 16;
  }
  return static_cast<std::uint32_t>(date) << 16 | time;
}

std::uint64_t SizeOf(DWORD high, DWORD low) { return static_cast<std::uint64_t>(high) << 32 | low; }

std::string Pattern(const std::string& folder) {
  if (folder.empty()) return "*";
  const char last = folder.back();
  return last == '/' || last == '\\' || last == ':' ? folder + "*" : folder + "\\*";
}

}  // namespace

FileFacts QueryFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
  FileFacts facts;
  facts.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
  facts.size = SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
  facts.dosDateTime = DosDateTime(data.ftLastWriteTime);
  return facts;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(Pattern(folder).c_str(), &found);
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
    entries.push_back({name, folderEntry ? EntryKind::Folder : EntryKind::File, link});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

bool SameFile(const std::string& first, const std::string& second) {
  auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  return identify(first, a) && identify(second, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
         a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}
