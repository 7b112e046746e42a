// The destination folder with its missing parents.
#include "setup/DestinationFolder.h"

#include <vector>

#include "base/Exception.h"
#include "base/FileSystem.h"
#include "base/PathText.h"

namespace {

// The folders to make, the deepest first. Walked as a loop, not by
// recursion: the text comes from an edit field of unlimited length.
std::vector<std::string> MissingFolders(const std::string& destination) {
  std::vector<std::string> missing;
  std::string path = destination;
  for (;;) {
    if (path.empty()) throw Exception(kUnableToCreateDirectory);
    if (path.back() == PathSeparator()) path.pop_back();
    if (path.size() < 3 || FolderExistsAt(path)) break;
    std::string parent = FolderOf(path);
    if (parent == path) break;
    missing.push_back(std::move(path));
    path = std::move(parent);
  }
  return missing;
}

}  // namespace

void CreateDestinationFolder(const std::string& destination) {
  const std::vector<std::string> missing = MissingFolders(destination);
  std::string reason;
  for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder)
    if (!CreateFolderAt(*folder) && reason.empty()) reason = LastFileSystemErrorText();
  if (FolderExistsAt(destination)) return;
  std::string message = std::string(kUnableToCreateDirectory) + " " + destination;
  if (!reason.empty()) message += ": " + reason;
  throw Exception(message);
}
