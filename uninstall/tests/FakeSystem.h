// An uninstaller's system in memory: registry keys with string values,
// files, shell links and folders, paths read as Windows reads them (within
// ASCII), and the failures a test asks for.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "uninstall/UninstallSystem.h"

class FakeSystem : public UninstallSystem {
 public:
  using Key = std::pair<RegistryRoot, std::string>;

  std::map<Key, std::map<std::string, std::string>> keys;  // key paths and value names in lower case
  std::set<std::string> files;
  std::map<std::string, std::string> links;  // link file -> target
  std::map<std::string, std::string> shortNames;  // a short 8.3 path -> its long form
  std::map<std::string, FolderKind> folderKinds;  // full path -> what stands there (else a folder)
  std::set<std::string> lockedFiles;
  // Running programs: removing fails; setting aside moves them out, unless
  // they are also in unmovableFiles.
  std::set<std::string> runningFiles;
  std::set<std::string> unmovableFiles;
  std::set<Key> lockedKeys;
  int associationNotices = 0;
  std::set<std::string> removedFolders;
  std::set<std::string> foldersAtRestart;
  std::set<std::string> filesAtRestart;
  // Every removal, in order: "key ROOT\path", "value ...", "file path", "folder path".
  std::vector<std::string> log;

  void SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name, const std::string& text);
  void AddLink(const std::string& linkPath, const std::string& target);

  std::optional<std::string> ReadString(RegistryRoot root, const std::string& keyPath,
                                        const std::string& valueName) override;
  bool KeyExists(RegistryRoot root, const std::string& keyPath) override;
  bool KeyIsEmpty(RegistryRoot root, const std::string& keyPath) override;
  Outcome DeleteKeyTree(RegistryRoot root, const std::string& keyPath) override;
  Outcome DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) override;
  void AssociationsChanged() override { ++associationNotices; }
  std::string ShellFolder(const std::string& name) override;
  std::optional<std::string> ShortcutTarget(const std::string& linkPath) override;
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
