// The uninstaller's calls to Windows: the registry and the shell as the
// installation's (Win32System: initialise COM on the calling thread first),
// paths as the file system reads them, and the installation's files, never
// followed through a link.
#pragma once

#include <windows.h>

#include "sysint/WindowsSystem_win.h"
#include "uninstall/UninstallSystem.h"

class WindowsUninstallSystem final : public UninstallSystem, public Win32System {
 public:
  // setAsideFolder: the uninstaller's own folder in the temporary folder,
  // where a running program's file is moved; empty when there is none.
  explicit WindowsUninstallSystem(std::string setAsideFolder);
  ~WindowsUninstallSystem() override;
  WindowsUninstallSystem(const WindowsUninstallSystem&) = delete;
  WindowsUninstallSystem& operator=(const WindowsUninstallSystem&) = delete;

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
