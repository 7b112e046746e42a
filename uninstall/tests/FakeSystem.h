// An uninstaller's system in memory: registry keys with string values,
// files, shell links and folders, with the failures a test asks for.
#pragma once

#include <map>
#include <set>
#include <string>

#include "uninstall/UninstallSystem.h"

class FakeSystem : public UninstallSystem {
 public:
  using Key = std::pair<RegistryRoot, std::string>;

  std::map<Key, std::map<std::string, std::string>> keys;  // key paths in lower case
  std::set<std::string> files;
  std::map<std::string, std::string> links;  // link file -> target
  std::set<std::string> lockedFiles;
  std::set<Key> lockedKeys;
  int associationNotices = 0;

  void SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name, const std::string& text);
  void AddLink(const std::string& linkPath, const std::string& target);

  std::optional<std::string> ReadString(RegistryRoot root, const std::string& keyPath,
                                        const std::string& valueName) override;
  bool KeyExists(RegistryRoot root, const std::string& keyPath) override;
  bool DeleteKeyTree(RegistryRoot root, const std::string& keyPath) override;
  void AssociationsChanged() override { ++associationNotices; }
  std::string ShellFolder(const std::string& name) override;
  std::optional<std::string> ShortcutTarget(const std::string& linkPath) override;
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  bool RemoveFile(const std::string& path) override;
  FolderRemoval RemoveFolderIfEmpty(const std::string& path) override;
  std::set<std::string> removedFolders;
};
