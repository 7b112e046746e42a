// The uninstaller's calls to Windows: the registry, the shell's folders and
// links, and the installation's files. Shell links are read through COM:
// initialise it on the calling thread first.
#pragma once

#include "uninstall/UninstallSystem.h"

class WindowsUninstallSystem : public UninstallSystem {
 public:
  std::optional<std::string> ReadString(RegistryRoot root, const std::string& keyPath,
                                        const std::string& valueName) override;
  bool KeyExists(RegistryRoot root, const std::string& keyPath) override;
  bool DeleteKeyTree(RegistryRoot root, const std::string& keyPath) override;
  void AssociationsChanged() override;
  std::string ShellFolder(const std::string& name) override;
  std::optional<std::string> ShortcutTarget(const std::string& linkPath) override;
  bool FileExists(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  FolderRemoval RemoveFolderIfEmpty(const std::string& path) override;
};
