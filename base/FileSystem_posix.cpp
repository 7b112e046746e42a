// Files through POSIX calls (the native build of the portable code).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

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
