// Where things go: the destination offered at first, the Windows folder and
// the per-user shell folders.
#include "sysint/InstallLayout.h"
#include "sysint/install.h"

std::string GetDefaultInstallDir() {
  std::string folder = ReadRegString(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path");
  if (folder.empty()) folder = ReadRegString(HKEY_LOCAL_MACHINE, kAppPathsExeKey, "Path");
  if (!folder.empty()) return folder;
  // Even an empty "ProgramFilesDir" gives "\TAV Quillbox": there is nothing
  // better to offer, and the user sees and can change it.
  return ReadRegString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir") + "\\" +
         kProductName;
}

std::string GetWindowsFolder() {
  char buffer[1024];
  const UINT length = GetWindowsDirectoryA(buffer, 1023);
  std::string folder(buffer, length < sizeof buffer ? length : 0);
  if (folder.size() >= 3) folder += "\\";
  return folder;
}

std::string GetShellFolder(const std::string& folderName) {
  const std::string folder = ReadRegString(HKEY_CURRENT_USER, kShellFoldersKey, folderName) + "\\";
  if (folder != "\\") return folder;
  return GetWindowsFolder() + folderName + "\\";
}
