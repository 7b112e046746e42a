// A stream over a named file, through the FileSystem seam.
#include "base/FileStream.h"

#include "base/Exception.h"

namespace {
FileAccess AccessOf(FileMode mode) {
  switch (mode) {
    case FileMode::OpenRead: return FileAccess::Read;
    case FileMode::OpenWrite: return FileAccess::Write;
    default: return FileAccess::ReadWrite;
  }
}
}  // namespace

TFileStream::TFileStream(const std::string& path, FileMode mode) : path_(path) {
  if (mode == FileMode::Create) {
    handle_ = CreateFileHandle(path);
    if (handle_ == kInvalidFileHandle) throw EStreamError(FormatText(kCannotCreateFile, path));
  } else {
    handle_ = OpenFileHandle(path, AccessOf(mode));
    if (handle_ == kInvalidFileHandle) throw EStreamError(FormatText(kCannotOpenFile, path));
  }
}

TFileStream::~TFileStream() { CloseFileHandle(handle_); }

std::size_t TFileStream::Read(void* buffer, std::size_t count) { return ReadFileHandle(handle_, buffer, count); }

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
  return WriteFileHandle(handle_, buffer, count);
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const std::int64_t position = SeekFileHandle(handle_, offset, origin);
  if (position < 0) throw EStreamError("Stream seek error");
  return position;
}
