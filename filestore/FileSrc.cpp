// TFileSource: the reading side (restoring "FileData" into a temporary file)
// and the properties. Writing "FileData" is in FileSrcWriting.cpp.
#include "filestore/FileSrc.h"

#include "base/ByteViewStream.h"
#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/MemoryStream.h"
#include "base/PathText.h"
#include "filestore/CompressStream.h"
#include "filestore/TempFileName.h"

TFileSource::~TFileSource() { DeleteTempFile(); }

void TFileSource::SetCompress(bool compress) {
  compress_ = compress;
  if (compress) store_ = true;
}

std::string TFileSource::FileName() const { return FileExistsAt(path_) ? path_ : std::string(); }

void TFileSource::SetFileName(const std::string& path) {
  DeleteTempFile();
  path_ = path;
  temporary_ = false;
  extension_ = ExtensionOf(path);
}

void TFileSource::DeleteTempFile() {
  // A file that someone else removed already is no reason to complain.
  if (temporary_) RemoveFileAt(path_);
}

void TFileSource::ReadFileData(TStream& value) {
  DeleteTempFile();
  const std::string name = TakeTemporaryFileName(extension_);
  path_ = name;
  temporary_ = true;
  TFileStream file(name, FileMode::OpenWrite);
  if (compress_) {
    TCompressStream().ExpandStream(value, file);
    return;
  }
  const std::int32_t length = value.ReadInt32();
  // A negative length cannot be met by any value: as short as can be.
  if (length < 0) throw EStreamError(kStreamReadError);
  file.CopyFrom(value, length);
}

void TFileSource::DeclareProperties(PropertyTable& table) {
  TComponent::DeclareProperties(table);
  table.Boolean("Compress", [this] { return compress_; }, [this](bool v) { SetCompress(v); });
  table.String("DisplayLabel", [this] { return displayLabel_; }, [this](const std::string& v) { displayLabel_ = v; });
  table.String("Extension", [this] { return extension_; }, [this](const std::string& v) { extension_ = v; });
  table.String("FileName", [this] { return FileName(); }, [this](const std::string& v) { SetFileName(v); });
  table.StoredWhen([this] { return !store_; });
  table.Boolean("Store", [this] { return store_; }, [this](bool v) { store_ = v; });
}

void TFileSource::DefineProperties(PropertyTable& table) {
  table.Binary(
      "FileData",
      [this] {
        TMemoryStream value;
        WriteFileData(value);
        return value.Bytes();
      },
      [this](std::span<const std::uint8_t> bytes) {
        TByteViewStream value(bytes);
        ReadFileData(value);
      });
  table.StoredWhen([this] { return store_; });
}

void RegisterFileSrcComponents() {
  RegisterComponentClass("TFileSource", [](TComponent* owner) -> TComponent* { return new TFileSource(owner); });
}
