// Files through POSIX calls (the native build of the portable code).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/FileSystem.h"

namespace {
int Descriptor(FileHandle file) { return static_cast<int>(file); }
}  // namespace

FileHandle OpenFileHandle(const std::string& path, FileAccess access) {
  const int flags = access == FileAccess::Read ? O_RDONLY : access == FileAccess::Write ? O_WRONLY : O_RDWR;
  return ::open(path.c_str(), flags | O_CLOEXEC);
}

FileHandle CreateFileHandle(const std::string& path) {
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

std::size_t ReadFileHandle(FileHandle file, void* buffer, std::size_t count) {
  const ssize_t n = ::read(Descriptor(file), buffer, count);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t WriteFileHandle(FileHandle file, const void* buffer, std::size_t count) {
  const ssize_t n = ::write(Descriptor(file), buffer, count);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::int64_t SeekFileHandle(FileHandle file, std::int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  return ::lseek(Descriptor(file), static_cast<off_t>(offset), whence);
}

void CloseFileHandle(FileHandle file) { ::close(Descriptor(file)); }

bool FileExistsAt(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool RemoveFileAt(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameFileReplacing(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return false;
  const int target = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool copied = target >= 0;
  char buffer[64 * 1024];
  while (copied) {
    const ssize_t got = ::read(source, buffer, sizeof buffer);
    if (got <= 0) {
      copied = got == 0;
      break;
    }
    for (ssize_t done = 0; copied && done < got;) {
      const ssize_t put = ::write(target, buffer + done, static_cast<std::size_t>(got - done));
      if (put <= 0) {
        if (put == 0) errno = ENOSPC;
        copied = false;
      } else {
        done += put;
      }
    }
  }
  // Closing may fail too (a full disk found late); the first failure's
  // reason is the one kept.
  const int reason = errno;
  ::close(source);
  if (target >= 0 && ::close(target) != 0 && copied) return false;
  errno = reason;
  return copied;
}

char PathSeparator() { return '/'; }

bool FolderExistsAt(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolderAt(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp/";
}

int LocalTimeSeconds() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_sec % 60;  // a leap second counts as 0
}

std::string LastFileSystemErrorText() { return std::strerror(errno); }
