// The uninstaller's calls to Windows: the registry, the shell's folders and
// links, paths as the file system reads them, and the installation's files,
// never followed through a link. Shell links are read through COM:
// initialise it on the calling thread first.
#pragma once

#include <windows.h>

#include "uninstall/UninstallSystem.h"

class WindowsUninstallSystem : public UninstallSystem {
 public:
  // setAsideFolder: the uninstaller's own folder in the temporary folder,
  // where a running program's file is moved; empty when there is none.
  explicit WindowsUninstallSystem(std::string setAsideFolder);
  ~WindowsUninstallSystem() override;
  WindowsUninstallSystem(const WindowsUninstallSystem&) = delete;
  WindowsUninstallSystem& operator=(const WindowsUninstallSystem&) = delete;

  std::optional<std::string> ReadString(RegistryRoot root, const std::string& keyPath,
                                        const std::string& valueName) override;
  bool KeyExists(RegistryRoot root, const std::string& keyPath) override;
  bool KeyIsEmpty(RegistryRoot root, const std::string& keyPath) override;
  Outcome DeleteKeyTree(RegistryRoot root, const std::string& keyPath) override;
  Outcome DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) override;
  void AssociationsChanged() override;
  std::string ShellFolder(const std::string& name) override;
  std::optional<std::string> ShortcutTarget(const std::string& linkPath) override;
  std::string FullPath(const std::string& path) override;
  bool SameFullPath(const std::string& left, const std::string& right) override;
  FolderKind InspectFolder(const std::string& path) override;
  FolderKind HoldFolder(const std::string& path) override;
  bool FolderIsEmpty(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  Outcome RemoveFile(const std::string& path) override;
  Outcome SetAside(const std::string& path) override;
  Outcome RemoveFolder(const std::string& path, bool atRestart) override;

 private:
  void ReleaseFolder();

  const std::string setAsideFolder_;
  HANDLE heldFolder_ = INVALID_HANDLE_VALUE;
};
