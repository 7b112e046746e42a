// Where things go: the destination offered at first, the Windows folder and
// the per-user shell folders.
#include "sysint/InstallLayout.h"
#include "sysint/install.h"

std::string GetDefaultInstallDir(WindowsSystem& system) {
  constexpr auto root = RegistryRoot::LocalMachine;
  std::string folder = ReadRegString(system, root, kAppPathsKey, "Path");
  if (folder.empty()) folder = ReadRegString(system, root, kAppPathsExeKey, "Path");
  if (!folder.empty()) return folder;
  // Even an empty "ProgramFilesDir" gives "\TAV Quillbox": there is nothing
  // better to offer, and the user sees and can change it.
  return ReadRegString(system, root, kCurrentVersionKey, "ProgramFilesDir") + "\\" + kProductName;
}

std::string GetWindowsFolder(WindowsSystem& system) {
  std::string folder = system.WindowsFolder();
  if (folder.size() >= 3) folder += "\\";
  return folder;
}

std::string GetShellFolder(WindowsSystem& system, const std::string& folderName) {
  const std::string folder =
      ReadRegString(system, RegistryRoot::CurrentUser, kShellFoldersKey, folderName) + "\\";
  if (folder != "\\") return folder;
  return GetWindowsFolder(system) + folderName + "\\";
}
