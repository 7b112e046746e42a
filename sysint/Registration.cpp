// Making the installed application known to Windows: its path, its uninstall
// entry, its version, its document association and its shortcuts.
#include "sysint/InstallLayout.h"
#include "sysint/install.h"

void AssociateFileType(WindowsSystem& system, const std::string& extension, const std::string& typeName,
                       const std::string& description, const std::string& programPath, int iconIndex) {
  WriteClassesRootValue(system, extension, "", typeName);
  WriteClassesRootValue(system, typeName, "", description);
  WriteClassesRootValue(system, typeName + "\\Shell\\Open\\command", "", OpenCommand(programPath));
  WriteClassesRootValue(system, typeName + "\\DefaultIcon", "", IconValue(programPath, iconIndex));
  system.AssociationsChanged();
}

void RegisterInstallation(WindowsSystem& system, const std::string& destination, bool associateFiles,
                          bool addToStartMenu, bool addToDesktop) {
  constexpr auto machine = RegistryRoot::LocalMachine;
  const std::string programPath = ProgramPath(destination);
  WriteRegString(system, machine, kAppPathsExeKey, "", programPath);
  WriteRegString(system, machine, kAppPathsExeKey, "Path", destination);
  WriteRegString(system, machine, kUninstallKey, "DisplayName", kProductName);
  WriteRegString(system, machine, kUninstallKey, "UninstallString", UninstallCommand(destination));
  WriteRegString(system, machine, kProductKey, "InstalledVersion", kInstalledVersion);
  WriteRegString(system, RegistryRoot::CurrentUser, kProductKey, "InstalledVersion", kInstalledVersion);

  if (associateFiles) {
    AssociateFileType(system, kDocumentExtension, kDocumentType, kProductName, programPath, kDocumentIconIndex);
  }
  if (addToStartMenu) {
    CreateShortcut(system, programPath, "", ShortcutFile(GetShellFolder(system, "Programs")), kProductName);
  }
  if (addToDesktop) {
    CreateShortcut(system, programPath, "", ShortcutFile(GetShellFolder(system, "Desktop")), kProductName);
  }
}
