// TFileSource: a non-visual component that carries one whole file inside a
// window's stored description and hands it out again as a file on disk.
//
// Writing a description stores the bytes of the file that FileName names as
// the extra binary property "FileData"; reading the description writes them
// to a new temporary file ("~fs420.dll" in the user's folder for temporary
// files), which FileName then names and the component deletes when it is
// destroyed. The value of "FileData" (docs/formats/file-data.md):
//
//   Compress false   4 bytes   L, signed, little-endian
//                    L bytes   the file
//   Compress true    one "PMCS10" container of the file (CompressStream.h)
//
// Nothing in the value says which form it has: Compress, stored before
// "FileData", says it.
#pragma once

#include <string>

#include "base/Stream.h"
#include "component/Component.h"

class TFileSource : public TComponent {
 public:
  using TComponent::TComponent;
  // Deletes the temporary file, if the component made one.
  ~TFileSource() override;

  std::string ClassName() const override { return "TFileSource"; }

  // Published properties, in stored order.
  bool Compress() const { return compress_; }
  // Setting it true also sets Store true; false leaves Store alone.
  void SetCompress(bool compress);
  const std::string& DisplayLabel() const { return displayLabel_; }
  void SetDisplayLabel(const std::string& label) { displayLabel_ = label; }
  // With its dot (".dll"); the temporary file's extension.
  const std::string& Extension() const { return extension_; }
  void SetExtension(const std::string& extension) { extension_ = extension; }
  // The file the component stands for when a file (not a folder) exists
  // there, otherwise the empty string.
  std::string FileName() const;
  // Deletes the component's temporary file, if any, then stands for path
  // (which it never deletes) and takes its extension as Extension.
  void SetFileName(const std::string& path);
  bool Store() const { return store_; }
  void SetStore(bool store) { store_ = store; }

  // True while FileName names a temporary file that the component made.
  bool HoldsTemporaryFile() const { return temporary_; }

  // Restores a "FileData" value from value (positioned at its start) into a
  // new temporary file, which becomes the current path before any byte is
  // written, so that a failed restore still leaves it to be deleted. An
  // older temporary file of the component is deleted first. Failures:
  // "Cannot open file %s" when the file could not be made, "Wrong file type"
  // for a compressed value that is no container, "Stream read error" for a
  // value shorter than its length or container says, ELzrw1KHCompressor for
  // a damaged container; the bytes restored so far stay in the file.
  void ReadFileData(TStream& value);
  // Writes the "FileData" value of the current file to value. A missing file
  // raises Exception "<Name> cannot store file: <path> (file is missing)".
  // Only the description writer calls it (FileSrcWriting.cpp), so a program
  // that only reads descriptions links none of it.
  void WriteFileData(TStream& value);

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void DefineProperties(PropertyTable& table) override;

 private:
  void DeleteTempFile();

  bool compress_ = false;
  std::string displayLabel_;
  std::string extension_;
  std::string path_;
  bool store_ = false;
  bool temporary_ = false;
};

// Makes "TFileSource" known to the window description reader.
void RegisterFileSrcComponents();
