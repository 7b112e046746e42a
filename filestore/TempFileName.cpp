// Names of the file store's temporary files, taken by creating them.
#include "filestore/TempFileName.h"

#include "base/Exception.h"
#include "base/FileSystem.h"

std::string TakeTemporaryFileName(const std::string& folder, int seconds, const std::string& extension) {
  std::string base = folder;
  if (!base.empty() && base.back() == PathSeparator()) base.pop_back();
  base += PathSeparator();
  base += "~fs";
  base += std::to_string(seconds);
  std::string name;
  for (int counter = 0;; ++counter) {
    name = base + std::to_string(counter) + extension;
    if (!FileExistsAt(name)) break;
  }
  const FileHandle file = CreateFileHandle(name);
  if (file != kInvalidFileHandle) CloseFileHandle(file);
  return name;
}

std::string TakeTemporaryFileName(const std::string& extension) {
  const int seconds = LocalTimeSeconds();
  const std::string folder = TemporaryFolder();
  if (folder.empty()) throw Exception("The system names no folder for temporary files");
  if (folder.size() > kMaxTemporaryFolderLength)
    throw Exception("The folder for temporary files is longer than 260 characters: " + folder);
  return TakeTemporaryFileName(folder, seconds, extension);
}
