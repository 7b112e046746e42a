// TFileSource's writing side: the "FileData" value of the current file. Only
// the description compiler and the tests write descriptions; kept apart so
// that the setup program, which only reads them, links no compressor.
#include <cstdint>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "filestore/CompressStream.h"
#include "filestore/FileSrc.h"

void TFileSource::WriteFileData(TStream& value) {
  if (!FileExistsAt(path_)) throw Exception(Name() + " cannot store file: " + path_ + " (file is missing)");
  TFileStream file(path_, FileMode::OpenRead);
  const std::int64_t length = file.Size();
  if (compress_) {
    TCompressStream().CompressStream(file, value, length);
    return;
  }
  if (length > INT32_MAX) throw Exception(Name() + " cannot store file: " + path_ + " (larger than 2 GB)");
  value.WriteInt32(static_cast<std::int32_t>(length));
  value.CopyFrom(file, length);
}
