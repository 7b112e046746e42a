// Folders, exclusive creation, replacing, identities and file times through
// the Win32 ANSI calls.
#include <windows.h>

#include "unzdll/engine/ExtractFileSystem.h"

bool RemoveFolderAt(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

FileHandle CreateNewFileHandle(const std::string& path) {
  const HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? kInvalidFileHandle : reinterpret_cast<FileHandle>(handle);
}

std::optional<DosDateTime> FileDosTimeAt(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return std::nullopt;
  return static_cast<DosDateTime>(date) << 16 | time;
}

bool SetFileHandleDosTime(FileHandle file, DosDateTime when) {
  FILETIME local{};
  FILETIME utc{};
  if (!DosDateTimeToFileTime(static_cast<WORD>(when >> 16), static_cast<WORD>(when), &local) ||
      !LocalFileTimeToFileTime(&local, &utc))
    return false;
  return SetFileTime(reinterpret_cast<HANDLE>(file), nullptr, nullptr, &utc) != 0;
}

bool ReplaceFileAt(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesA(to.c_str());
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                        (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) {
    const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(to.c_str(), writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL);
  }
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  if (readOnly) SetFileAttributesA(to.c_str(), attributes);
  return false;
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
