// The description compiler's part for file sources: each TFileSource of a
// description gets the file its FileName names stored as "FileData", the way
// the component itself writes it, so that the compiled description holds
// the files and not their paths.
#pragma once

#include <functional>
#include <string>

#include "component/DescriptionTree.h"

// Turns the FileName (a path relative to folder, or absolute) of every
// TFileSource object in root into its stored form: the object's properties
// become what the component writes once it has read them (FileName kept only
// where Store is false, "FileData" added where it is true). read is told
// every file that was read. A missing file throws Exception
// "<name> cannot store file: <path> (file is missing)".
void StoreCarriedFiles(DescriptionObject& root, const std::string& folder,
                       const std::function<void(const std::string& path)>& read);
