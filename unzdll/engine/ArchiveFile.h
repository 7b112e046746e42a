// An archive file opened for reading, as a stream, one per reading thread
// (not TFileStream: the unzip library needs no file creation or formatting).
#pragma once

#include <string>

#include "base/FileSystem.h"
#include "base/Stream.h"

class ArchiveFile : public TStream {
 public:
  // Opens path for reading; IsOpen() tells whether that worked.
  explicit ArchiveFile(const std::string& path) : handle_(OpenFileHandle(path, FileAccess::Read)) {}
  ~ArchiveFile() override;

  bool IsOpen() const { return handle_ != kInvalidFileHandle; }

  std::size_t Read(void* buffer, std::size_t count) override;
  // Always 0: the archive is only read.
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

 private:
  FileHandle handle_;
};
