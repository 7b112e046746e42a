// Making the files of an extraction through the Win32 ANSI calls: creating a
// file that must be new, setting its time, putting it in place, and removing
// folders made for it.
#include <windows.h>

#include "base/FileSystem.h"

bool RemoveFolderAt(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

FileHandle CreateNewFileHandle(const std::string& path) {
  const HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? kInvalidFileHandle : reinterpret_cast<FileHandle>(handle);
}

bool ReplaceFileAt(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesA(to.c_str());
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                        (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) {
    const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(to.c_str(), writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL);
  }
  if (RenameFileReplacing(from, to)) return true;
  if (readOnly) SetFileAttributesA(to.c_str(), attributes);
  return false;
}

bool SetFileHandleDosTime(FileHandle file, DosDateTime when) {
  FILETIME local{};
  FILETIME utc{};
  if (!DosDateTimeToFileTime(static_cast<WORD>(when >> 16), static_cast<WORD>(when), &local) ||
      !LocalFileTimeToFileTime(&local, &utc))
    return false;
  return SetFileTime(reinterpret_cast<HANDLE>(file), nullptr, nullptr, &utc) != 0;
}
