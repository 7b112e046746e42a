// A stream over a named file.
#pragma once

#include <string>

#include "base/FileSystem.h"
#include "base/Stream.h"

enum class FileMode { OpenRead, OpenWrite, OpenReadWrite, Create };

// Opens (OpenRead, OpenWrite, OpenReadWrite: the file must exist) or creates
// (Create: create or truncate) the file at path. Failure raises EStreamError
// with "Cannot open file %s" or "Cannot create file %s", the path in place of
// %s. The file is closed when the stream is destroyed.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& path, FileMode mode);
  ~TFileStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  FileHandle handle_ = kInvalidFileHandle;
};

inline constexpr char kCannotOpenFile[] = "Cannot open file %s";
inline constexpr char kCannotCreateFile[] = "Cannot create file %s";
