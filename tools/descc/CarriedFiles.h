// The description compiler's part for file sources: each TFileSource of a
// description gets the file its FileName names stored as "FileData", the way
// the component itself writes it, so that the compiled description holds
// the files and not their paths.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "component/DescriptionTree.h"

// One file source as compiled: its file and the "FileData" value stored.
struct CarriedFile {
  std::string component;
  std::string path;             // as FileName named it, resolved
  std::uint64_t valueSize = 0;  // 0 when nothing was stored (Store false)
};

// Turns the FileName (a path relative to folder, or absolute) of every
// TFileSource object in root into its stored form: the object's properties
// become what the component writes once it has read them (FileName kept only
// where Store is false, "FileData" added where it is true). done is told
// about every file source. A missing file throws Exception
// "<name> cannot store file: <path> (file is missing)".
void StoreCarriedFiles(DescriptionObject& root, const std::string& folder,
                       const std::function<void(const CarriedFile& file)>& done);
