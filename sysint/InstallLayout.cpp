#include "sysint/InstallLayout.h"

namespace {

std::string BaseFolder(const std::string& destination) { return destination + "\\"; }

}  // namespace

std::string ProgramPath(const std::string& destination) {
  return BaseFolder(destination) + kProductName + ".exe";
}

std::string UninstallerPath(const std::string& destination) {
  return BaseFolder(destination) + "UNINSTALL.EXE";
}

std::string UninstallCommand(const std::string& destination) {
  const std::string path = UninstallerPath(destination);
  return "\"" + path + "\"";
}

std::string OpenCommand(const std::string& programPath) { return "\"" + programPath + "\" \"%1\""; }

std::string IconValue(const std::string& programPath, int iconIndex) {
  return programPath + "," + std::to_string(iconIndex);
}

std::string ShortcutFile(const std::string& shellFolder) {
  return shellFolder + kProductName + ".lnk";
}
