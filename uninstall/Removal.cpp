#include "uninstall/Removal.h"

#include <optional>

#include "sysint/InstallLayout.h"
#include "uninstall/PathMatch.h"

namespace {

const char* RootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser: return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine: return "HKEY_LOCAL_MACHINE";
  }
  return "";
}

// Registry names are equal whatever the case of their letters.
bool EqualsIgnoringCase(const std::string& left, const std::string& right) {
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(left[i]) != lower(right[i])) return false;
  }
  return true;
}

// The registry as it was before anything was removed: every decision is
// taken on this, so removing one entry never changes the verdict on another.
struct RegistryFindings {
  std::optional<std::string> uninstallCommand;
  std::optional<std::string> documentType;  // ".tav" default value
  std::optional<std::string> openCommand;   // the document type's open command
};

RegistryFindings ReadFindings(UninstallSystem& system) {
  return {system.ReadString(RegistryRoot::LocalMachine, kUninstallKey, "UninstallString"),
          system.ReadString(RegistryRoot::ClassesRoot, kDocumentExtension, ""),
          system.ReadString(RegistryRoot::ClassesRoot,
                            std::string(kDocumentType) + "\\Shell\\Open\\command", "")};
}

class Remover {
 public:
  Remover(UninstallSystem& system, const std::string& folder, RemovalReport& report)
      : system_(system), folder_(folder), program_(ProgramPath(folder)), report_(report) {}

  void Shortcut(const std::string& shellFolderName) {
    const std::string shellFolder = system_.ShellFolder(shellFolderName);
    if (shellFolder.empty()) return;
    const std::string link = ShortcutFile(shellFolder);
    const std::optional<std::string> target = system_.ShortcutTarget(link);
    if (target && SamePath(*target, program_)) File(link);
  }

  void Association(const RegistryFindings& found) {
    const bool typeIsOurs = found.openCommand && CommandStartsProgram(*found.openCommand, program_);
    if (!typeIsOurs) return;
    if (found.documentType && EqualsIgnoringCase(*found.documentType, kDocumentType)) {
      Key(RegistryRoot::ClassesRoot, kDocumentExtension);
    }
    Key(RegistryRoot::ClassesRoot, kDocumentType);
    system_.AssociationsChanged();
  }

  void UninstallEntry(const RegistryFindings& found) {
    if (UninstallEntryIsOurs(found)) Key(RegistryRoot::LocalMachine, kUninstallKey);
  }

  void AppPaths(const char* keyPath) {
    const auto program = system_.ReadString(RegistryRoot::LocalMachine, keyPath, "");
    const auto path = system_.ReadString(RegistryRoot::LocalMachine, keyPath, "Path");
    if ((program && SamePath(*program, program_)) || (path && SamePath(*path, folder_))) {
      Key(RegistryRoot::LocalMachine, keyPath);
    }
  }

  void ProductKeys(const RegistryFindings& found) {
    // Another installation registered after this one still needs them.
    if (found.uninstallCommand && !UninstallEntryIsOurs(found)) return;
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
      if (system_.KeyExists(root, kProductKey)) Key(root, kProductKey);
    }
  }

  void InstalledFile(const std::string& name) {
    const std::string path = folder_ + "\\" + name;
    if (system_.FileExists(path) && !File(path)) installedFileLeft_ = true;
  }

  void Folder() {
    switch (system_.RemoveFolderIfEmpty(folder_)) {
      case FolderRemoval::Removed:
      case FolderRemoval::Missing: break;
      // Kept for the user's files only when none of ours is left in it.
      case FolderRemoval::NotEmpty:
        if (installedFileLeft_) {
          report_.notRemoved.push_back(folder_);
        } else {
          report_.folderKept = true;
        }
        break;
      case FolderRemoval::Failed: report_.notRemoved.push_back(folder_); break;
    }
  }

 private:
  bool UninstallEntryIsOurs(const RegistryFindings& found) const {
    return found.uninstallCommand && CommandStartsProgram(*found.uninstallCommand, UninstallerPath(folder_));
  }

  void Key(RegistryRoot root, const std::string& keyPath) {
    if (!system_.DeleteKeyTree(root, keyPath)) {
      report_.notRemoved.push_back(std::string(RootName(root)) + "\\" + keyPath);
    }
  }

  bool File(const std::string& path) {
    if (system_.RemoveFile(path)) return true;
    report_.notRemoved.push_back(path);
    return false;
  }

  UninstallSystem& system_;
  const std::string folder_;
  const std::string program_;
  RemovalReport& report_;
  bool installedFileLeft_ = false;
};

}  // namespace

RemovalReport RemoveInstallation(UninstallSystem& system, const std::string& folder,
                                 std::span<const char* const> installedFiles) {
  RemovalReport report;
  report.folder = folder;
  const RegistryFindings found = ReadFindings(system);
  Remover remover(system, folder, report);
  remover.Shortcut("Programs");
  remover.Shortcut("Desktop");
  remover.Association(found);
  remover.UninstallEntry(found);
  remover.AppPaths(kAppPathsExeKey);
  remover.AppPaths(kAppPathsKey);
  remover.ProductKeys(found);
  for (const char* name : installedFiles) remover.InstalledFile(name);
  remover.Folder();
  return report;
}
