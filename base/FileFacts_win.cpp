// The facts of a file through the Win32 ANSI calls: kind, size, identity and
// modification time.
#include <windows.h>

#include "base/FileSystem.h"

namespace {

// Empty when the time has no DOS form (before 1980, after 2107).
std::optional<DosDateTime> DosFromFileTime(const FILETIME& written) {
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return std::nullopt;
  return static_cast<DosDateTime>(date) << 16 | time;
}

}  // namespace

std::optional<DosDateTime> FileDosTimeAt(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  return DosFromFileTime(data.ftLastWriteTime);
}

std::optional<FileIdentity> FileHandleIdentity(FileHandle file) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(file), &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber,
                      static_cast<std::uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
}

std::optional<FileIdentity> FileIdentityAt(const std::string& path) {
  // No access asked: only the file's information is read, whoever holds it open.
  const HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::optional<FileIdentity> identity = FileHandleIdentity(reinterpret_cast<FileHandle>(handle));
  CloseHandle(handle);
  return identity;
}

FileFacts QueryFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
  FileFacts facts;
  facts.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Directory : EntryKind::File;
  facts.size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  facts.dosDateTime = DosFromFileTime(data.ftLastWriteTime).value_or(kDosTimeOf1980);
  return facts;
}
