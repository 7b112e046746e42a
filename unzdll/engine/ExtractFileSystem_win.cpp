// Folders, exclusive creation and file times through the Win32 ANSI calls.
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
