// The facts of a file through POSIX calls: kind, size, identity and
// modification time.
#include <sys/stat.h>

#include <ctime>

#include "base/FileSystem.h"

namespace {

// Empty before 1980 and after 2107, which the DOS form cannot hold.
std::optional<DosDateTime> DosFromUnix(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr || local.tm_year < 80 || local.tm_year > 207) return std::nullopt;
  const auto date = static_cast<std::uint32_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  const auto time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return date << 16 | time;
}

FileIdentity IdentityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<DosDateTime> FileDosTimeAt(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return DosFromUnix(info.st_mtime);
}

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

FileFacts QueryFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  FileFacts facts;
  facts.kind = S_ISDIR(info.st_mode) ? EntryKind::Directory : EntryKind::File;
  facts.size = static_cast<std::uint64_t>(info.st_size);
  facts.dosDateTime = DosFromUnix(info.st_mtime).value_or(kDosTimeOf1980);
  return facts;
}
