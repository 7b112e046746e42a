// Folders, exclusive creation and file times through POSIX calls (the
// native build of the engine).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "unzdll/engine/ExtractFileSystem.h"

namespace {

std::optional<DosDateTime> DosFromUnix(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr || local.tm_year < 80 || local.tm_year > 207) return std::nullopt;
  const auto date = static_cast<std::uint32_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  const auto time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return date << 16 | time;
}

std::time_t UnixFromDos(DosDateTime when) {
  std::tm local{};
  local.tm_year = static_cast<int>((when >> 25) & 0x7F) + 80;
  local.tm_mon = static_cast<int>((when >> 21) & 0x0F) - 1;
  local.tm_mday = static_cast<int>((when >> 16) & 0x1F);
  local.tm_hour = static_cast<int>((when >> 11) & 0x1F);
  local.tm_min = static_cast<int>((when >> 5) & 0x3F);
  local.tm_sec = static_cast<int>(when & 0x1F) * 2;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

}  // namespace

bool RemoveFolderAt(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

FileHandle CreateNewFileHandle(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
}

std::optional<DosDateTime> FileDosTimeAt(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return DosFromUnix(info.st_mtime);
}

bool SetFileHandleDosTime(FileHandle file, DosDateTime when) {
  const std::time_t seconds = UnixFromDos(when);
  if (seconds == static_cast<std::time_t>(-1)) return false;
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  return ::futimens(static_cast<int>(file), times) == 0;
}

// A read-only file's mode does not keep rename from replacing it here.
bool ReplaceFileAt(const std::string& from, const std::string& to) { return RenameFileReplacing(from, to); }

namespace {

FileIdentity IdentityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> FileIdentityAt(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return IdentityOf(info);
}

std::optional<FileIdentity> FileHandleIdentity(FileHandle file) {
  struct stat info {};
  if (::fstat(static_cast<int>(file), &info) != 0) return std::nullopt;
  return IdentityOf(info);
}
