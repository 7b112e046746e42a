// Read-only access to an archive file at given offsets.
#include "unzdll/engine/ArchiveFile.h"

ArchiveFile::ArchiveFile(const std::string& path) : handle_(OpenFileHandle(path, FileAccess::Read)) {
  if (!IsOpen()) return;
  const std::int64_t end = SeekFileHandle(handle_, 0, SeekOrigin::End);
  if (end < 0) {
    CloseFileHandle(handle_);
    handle_ = kInvalidFileHandle;
    return;
  }
  size_ = static_cast<std::uint64_t>(end);
}

ArchiveFile::~ArchiveFile() {
  if (IsOpen()) CloseFileHandle(handle_);
}

bool ArchiveFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  return offset <= size_ && count <= size_ - offset && SeekTo(offset) && ReadNext(buffer, count);
}

bool ArchiveFile::SeekTo(std::uint64_t offset) {
  return offset <= size_ && SeekFileHandle(handle_, static_cast<std::int64_t>(offset), SeekOrigin::Begin) >= 0;
}

bool ArchiveFile::ReadNext(void* buffer, std::size_t count) {
  auto* at = static_cast<std::uint8_t*>(buffer);
  while (count > 0) {
    const std::size_t got = ReadFileHandle(handle_, at, count);
    if (got == 0) return false;
    at += got;
    count -= got;
  }
  return true;
}
