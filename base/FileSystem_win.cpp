// Files through the Win32 ANSI calls.
#include <windows.h>

#include "base/AsciiText.h"
#include "base/FileSystem.h"

namespace {
HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }
FileHandle FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kInvalidFileHandle : reinterpret_cast<FileHandle>(handle);
}
}  // namespace

FileHandle OpenFileHandle(const std::string& path, FileAccess access) {
  const DWORD rights = access == FileAccess::Read    ? GENERIC_READ
                       : access == FileAccess::Write ? GENERIC_WRITE
                                                     : GENERIC_READ | GENERIC_WRITE;
  // Readers let others read too; writers keep the file to themselves.
  const DWORD share = access == FileAccess::Read ? FILE_SHARE_READ : 0;
  return FromHandle(CreateFileA(path.c_str(), rights, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle CreateFileHandle(const std::string& path) {
  return FromHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::size_t ReadFileHandle(FileHandle file, void* buffer, std::size_t count) {
  DWORD got = 0;
  const DWORD ask = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
  return ReadFile(Handle(file), buffer, ask, &got, nullptr) ? got : 0;
}

std::size_t WriteFileHandle(FileHandle file, const void* buffer, std::size_t count) {
  DWORD put = 0;
  const DWORD ask = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
  return WriteFile(Handle(file), buffer, ask, &put, nullptr) ? put : 0;
}

std::int64_t SeekFileHandle(FileHandle file, std::int64_t offset, SeekOrigin origin) {
  const DWORD method = origin == SeekOrigin::Begin ? FILE_BEGIN : origin == SeekOrigin::Current ? FILE_CURRENT : FILE_END;
  LARGE_INTEGER distance{};
  LARGE_INTEGER result{};
  distance.QuadPart = offset;
  return SetFilePointerEx(Handle(file), distance, &result, method) ? result.QuadPart : -1;
}

void CloseFileHandle(FileHandle file) { CloseHandle(Handle(file)); }

bool FileExistsAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool RemoveFileAt(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool RenameFileReplacing(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

char PathSeparator() { return '\\'; }

bool FolderExistsAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolderAt(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

std::string TemporaryFolder() {
  // Room for what the file store accepts and more: a longer folder comes
  // back as long as the buffer, which is enough to refuse it.
  char folder[1024];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  return std::string(folder, length < sizeof folder ? length : sizeof folder);
}

int LocalTimeSeconds() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now.wSecond % 60;
}

std::string LastFileSystemErrorText() {
  char text[512];
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(),
                                      0, text, sizeof text, nullptr);
  const std::string_view trimmed = TrimmedSystemText(std::string_view(text, length));
  return trimmed.empty() ? std::string("an unknown system error") : std::string(trimmed);
}
