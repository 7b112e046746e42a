// An uninstaller's system in memory: the registry and shell links of
// FakeWindowsSystem (without "Shell Folders" entries, so the shell folders
// are the Windows folder's, "C:\WINDOWS\Programs\" and so on), files and
// folders, paths read as Windows reads them (within ASCII), and the
// failures a test asks for.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "sysint/tests/FakeWindowsSystem.h"
#include "uninstall/UninstallSystem.h"

class FakeSystem final : public UninstallSystem, public FakeWindowsSystem {
 public:
  std::set<std::string> files;  // a shell link is a file too
  std::map<std::string, std::string> shortNames;  // a short 8.3 path -> its long form
  std::map<std::string, FolderKind> folderKinds;  // full path -> what stands there (else a folder)
  std::set<std::string> lockedFiles;
  // Running programs: removing fails; setting aside moves them out, unless
  // they are also in unmovableFiles.
  std::set<std::string> runningFiles;
  std::set<std::string> unmovableFiles;
  std::set<std::string> removedFolders;
  std::set<std::string> foldersAtRestart;
  std::set<std::string> filesAtRestart;
  // log has the removals of files and folders too: "file path", "folder path".

  void AddLink(const std::string& linkPath, const std::string& target);

  // Only while the link's file is there.
  std::optional<std::string> ShellLinkTarget(const std::string& linkPath) override;
  std::string FullPath(const std::string& path) override;
  bool SameFullPath(const std::string& left, const std::string& right) override;
  FolderKind InspectFolder(const std::string& path) override;
  FolderKind HoldFolder(const std::string& path) override;
  bool FolderIsEmpty(const std::string& path) override;
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  Outcome RemoveFile(const std::string& path) override;
  Outcome SetAside(const std::string& path) override;
  Outcome RemoveFolder(const std::string& path, bool atRestart) override;
};
