// Making the installed application known to Windows: its path, its uninstall
// entry, its version, its document association and its shortcuts.
#include <shlobj.h>

#include "sysint/InstallLayout.h"
#include "sysint/install.h"

void AssociateFileType(const std::string& extension, const std::string& typeName,
                       const std::string& description, const std::string& programPath,
                       int iconIndex) {
  WriteClassesRootValue(extension, "", typeName);
  WriteClassesRootValue(typeName, "", description);
  WriteClassesRootValue(typeName + "\\Shell\\Open\\command", "", OpenCommand(programPath));
  WriteClassesRootValue(typeName + "\\DefaultIcon", "", IconValue(programPath, iconIndex));
  // The shell caches associations and icons; without this it shows the old
  // ones until the next logon.
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void RegisterInstallation(const std::string& destination, bool associateFiles, bool addToStartMenu,
                          bool addToDesktop) {
  const std::string programPath = ProgramPath(destination);
  WriteRegString(HKEY_LOCAL_MACHINE, kAppPathsExeKey, "", programPath);
  WriteRegString(HKEY_LOCAL_MACHINE, kAppPathsExeKey, "Path", destination);
  WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", kProductName);
  WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString",
                 UninstallCommand(destination));
  WriteRegString(HKEY_LOCAL_MACHINE, kProductKey, "InstalledVersion", kInstalledVersion);
  WriteRegString(HKEY_CURRENT_USER, kProductKey, "InstalledVersion", kInstalledVersion);

  if (associateFiles) {
    AssociateFileType(kDocumentExtension, kDocumentType, kProductName, programPath,
                      kDocumentIconIndex);
  }
  if (addToStartMenu) {
    CreateShortcut(programPath, "", ShortcutFile(GetShellFolder("Programs")), kProductName);
  }
  if (addToDesktop) {
    CreateShortcut(programPath, "", ShortcutFile(GetShellFolder("Desktop")), kProductName);
  }
}
