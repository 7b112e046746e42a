// Making the files of an extraction through POSIX calls: creating a file that
// must be new, setting its time, putting it in place, and removing folders
// made for it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "base/FileSystem.h"

namespace {

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

// A read-only file's mode does not keep rename from replacing it here.
bool ReplaceFileAt(const std::string& from, const std::string& to) { return RenameFileReplacing(from, to); }

bool SetFileHandleDosTime(FileHandle file, DosDateTime when) {
  const std::time_t seconds = UnixFromDos(when);
  if (seconds == static_cast<std::time_t>(-1)) return false;
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  return ::futimens(static_cast<int>(file), times) == 0;
}
