// An archive file opened for reading.
#include "unzdll/engine/ArchiveFile.h"

#include "base/Exception.h"

ArchiveFile::~ArchiveFile() {
  if (IsOpen()) CloseFileHandle(handle_);
}

std::size_t ArchiveFile::Read(void* buffer, std::size_t count) { return ReadFileHandle(handle_, buffer, count); }

std::size_t ArchiveFile::Write(const void*, std::size_t) { return 0; }

std::int64_t ArchiveFile::Seek(std::int64_t offset, SeekOrigin origin) {
  const std::int64_t position = SeekFileHandle(handle_, offset, origin);
  if (position < 0) throw EStreamError("Stream seek error");
  return position;
}
