// Read-only access to an archive file at given offsets; each thread that
// reads the archive opens its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/FileSystem.h"

class ArchiveFile {
 public:
  // Opens path for reading; IsOpen() tells whether that worked.
  explicit ArchiveFile(const std::string& path);
  ~ArchiveFile();
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  bool IsOpen() const { return handle_ != kInvalidFileHandle; }
  std::uint64_t Size() const { return size_; }

  // Reads exactly count bytes at offset; false when the file cannot give them.
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
  // Moves to offset for ReadNext; false when offset lies past the end.
  bool SeekTo(std::uint64_t offset);
  // Reads exactly count bytes where the previous read ended.
  bool ReadNext(void* buffer, std::size_t count);

 private:
  FileHandle handle_;
  std::uint64_t size_ = 0;
};
