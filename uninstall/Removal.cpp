#include "uninstall/Removal.h"

#include <optional>

#include "base/AsciiText.h"
#include "base/Exception.h"
#include "sysint/InstallLayout.h"
#include "sysint/install.h"
#include "uninstall/PathMatch.h"

namespace {

constexpr const char* kInstalledVersionValue = "InstalledVersion";

const char* RootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser: return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine: return "HKEY_LOCAL_MACHINE";
  }
  return "";
}

// A string value; nothing when the key or the value is absent or of
// another type.
std::optional<std::string> StringValue(UninstallSystem& system, RegistryRoot root, const std::string& keyPath,
                                       const std::string& valueName) {
  RegistryValue value = system.ReadValue(root, keyPath, valueName);
  if (value.kind != RegistryValue::Kind::Text) return std::nullopt;
  return std::move(value.text);
}

// The per-user shell folder as the installation found it; empty when its
// entry is not a string, where no shortcut can be found.
std::string ShellFolder(UninstallSystem& system, const std::string& name) {
  try {
    return GetShellFolder(system, name);
  } catch (const Exception&) {
    return {};
  }
}

std::string KeyName(RegistryRoot root, const std::string& keyPath) {
  return std::string(RootName(root)) + "\\" + keyPath;
}

bool SamePath(UninstallSystem& system, const std::string& left, const std::string& right) {
  const std::string leftFull = system.FullPath(left);
  const std::string rightFull = system.FullPath(right);
  return !leftFull.empty() && !rightFull.empty() && system.SameFullPath(leftFull, rightFull);
}

bool CommandStartsProgram(UninstallSystem& system, const std::string& command, const std::string& program) {
  for (const std::string& candidate : CommandProgramCandidates(command)) {
    if (SamePath(system, candidate, program)) return true;
  }
  return false;
}

std::string InFolder(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

// An App Paths key names the folder by its program or by its "Path".
bool AppPathsNameFolder(UninstallSystem& system, const char* keyPath, const std::string& folder) {
  const auto program = StringValue(system, RegistryRoot::LocalMachine, keyPath, "");
  const auto path = StringValue(system, RegistryRoot::LocalMachine, keyPath, "Path");
  return (program && SamePath(system, *program, ProgramPath(folder))) || (path && SamePath(system, *path, folder));
}

bool UninstallEntryNamesFolder(UninstallSystem& system, const std::string& command, const std::string& folder) {
  return CommandStartsProgram(system, command, UninstallerPath(folder));
}

// Whether the installation's registry entries name folder as theirs.
bool FolderIsRegistered(UninstallSystem& system, const std::string& folder) {
  const auto command = StringValue(system, RegistryRoot::LocalMachine, kUninstallKey, "UninstallString");
  return (command && UninstallEntryNamesFolder(system, *command, folder)) ||
         AppPathsNameFolder(system, kAppPathsExeKey, folder) || AppPathsNameFolder(system, kAppPathsKey, folder);
}

std::string KindRefusal(FolderKind kind, const std::string& folder) {
  switch (kind) {
    case FolderKind::Missing: return "The folder " + folder + " does not exist.";
    case FolderKind::NotAFolder: return folder + " is not a folder.";
    case FolderKind::Link:
      return "The folder " + folder +
             " is a link to another place (a junction or a symbolic link): nothing is removed through it.";
    case FolderKind::Folder: break;
  }
  return {};
}

std::string RootRefusal(const std::string& folder) {
  return "The folder " + folder + " is the root of a drive: the uninstaller removes no files from there.";
}

// The registry as it was before anything was removed, judged then: every
// decision is taken on this, so removing one entry never changes the verdict
// on another (and a short 8.3 name is still known while its folder exists).
struct RegistryFindings {
  bool uninstallEntryIsOurs = false;
  bool uninstallEntryIsAnothers = false;
  std::optional<std::string> documentType;  // ".tav" default value
  std::optional<std::string> openCommand;   // the document type's open command
};

RegistryFindings ReadFindings(UninstallSystem& system, const std::string& folder) {
  RegistryFindings found;
  const auto command = StringValue(system, RegistryRoot::LocalMachine, kUninstallKey, "UninstallString");
  found.uninstallEntryIsOurs = command && UninstallEntryNamesFolder(system, *command, folder);
  found.uninstallEntryIsAnothers = command && !found.uninstallEntryIsOurs;
  found.documentType = StringValue(system, RegistryRoot::ClassesRoot, kDocumentExtension, "");
  found.openCommand =
      StringValue(system, RegistryRoot::ClassesRoot, std::string(kDocumentType) + "\\Shell\\Open\\command", "");
  return found;
}

class Remover {
 public:
  Remover(UninstallSystem& system, const RemovalRequest& request, const std::string& folder,
          RemovalReport& report)
      : system_(system),
        folder_(folder),
        program_(ProgramPath(folder)),
        runningProgram_(request.runningProgram),
        report_(report) {}

  void Shortcut(const std::string& shellFolderName) {
    const std::string shellFolder = ShellFolder(system_, shellFolderName);
    if (shellFolder.empty()) return;
    const std::string link = ShortcutFile(shellFolder);
    const std::optional<std::string> target = system_.ShellLinkTarget(link);
    if (target && SamePath(system_, *target, program_)) Record(link, system_.RemoveFile(link));
  }

  void Association(const RegistryFindings& found) {
    const bool typeIsOurs = found.openCommand && CommandStartsProgram(system_, *found.openCommand, program_);
    if (!typeIsOurs) return;
    if (found.documentType && SameTextAscii(*found.documentType, kDocumentType)) {
      Key(RegistryRoot::ClassesRoot, kDocumentExtension);
    }
    Key(RegistryRoot::ClassesRoot, kDocumentType);
    system_.AssociationsChanged();
  }

  void AppPaths(const char* keyPath) {
    if (AppPathsNameFolder(system_, keyPath, folder_)) Key(RegistryRoot::LocalMachine, keyPath);
  }

  // The application may keep its own settings beside the value the
  // installation wrote: those stay, and the key with them.
  void ProductValues(const RegistryFindings& found) {
    // Another installation registered after this one still needs them.
    if (found.uninstallEntryIsAnothers) return;
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
      if (!system_.KeyExists(root, kProductKey)) continue;
      Record(KeyName(root, kProductKey) + ", value " + kInstalledVersionValue,
             system_.DeleteValue(root, kProductKey, kInstalledVersionValue));
      if (system_.KeyIsEmpty(root, kProductKey)) Key(root, kProductKey);
    }
  }

  void InstalledFile(const std::string& name) {
    const std::string path = InFolder(folder_, name);
    if (!system_.FileExists(path)) return;
    Outcome outcome = system_.RemoveFile(path);
    if (outcome.state == Outcome::State::Failed && !runningProgram_.empty() &&
        SamePath(system_, path, runningProgram_)) {
      outcome = system_.SetAside(path);
    }
    installedFileLeft_ |= outcome.state == Outcome::State::Failed;
    installedFileAtRestart_ |= outcome.state == Outcome::State::AtRestart;
    Record(path, outcome);
  }

  void Folder() {
    if (system_.FolderIsEmpty(folder_)) {
      Record(folder_, system_.RemoveFolder(folder_, false));
    } else if (installedFileLeft_) {
      Record(folder_, Outcome::Failed("it still holds files of TAV Quillbox"));
    } else if (installedFileAtRestart_) {
      Record(folder_, system_.RemoveFolder(folder_, true));
    } else {
      report_.folderKept = true;
    }
  }

  // Last, and only once the files are gone: while the entry stays, the
  // removal can be made again from Windows' list of programs.
  void UninstallEntry(const RegistryFindings& found) {
    if (!found.uninstallEntryIsOurs) return;
    if (installedFileLeft_) {
      report_.stayed.push_back({KeyName(RegistryRoot::LocalMachine, kUninstallKey),
                                "kept, so that the removal can be made again once the files above can go"});
      return;
    }
    Key(RegistryRoot::LocalMachine, kUninstallKey);
  }

 private:
  void Key(RegistryRoot root, const std::string& keyPath) {
    Record(KeyName(root, keyPath), system_.DeleteKeyTree(root, keyPath));
  }

  void Record(const std::string& what, const Outcome& outcome) {
    switch (outcome.state) {
      case Outcome::State::Done: break;
      case Outcome::State::AtRestart: report_.atRestart.push_back(what); break;
      case Outcome::State::Failed: report_.stayed.push_back({what, outcome.reason}); break;
    }
  }

  UninstallSystem& system_;
  const std::string folder_;
  const std::string program_;
  const std::string runningProgram_;
  RemovalReport& report_;
  bool installedFileLeft_ = false;
  bool installedFileAtRestart_ = false;
};

}  // namespace

FolderCheck CheckFolder(UninstallSystem& system, const std::string& folder) {
  FolderCheck check;
  if (IsRootFolder(folder)) {
    check.refusal = RootRefusal(folder);
    return check;
  }
  check.fullPath = system.FullPath(folder);
  if (check.fullPath.empty()) {
    check.refusal = "The folder " + folder + " is not given as a full path.";
  } else if (IsRootFolder(check.fullPath)) {
    check.refusal = RootRefusal(check.fullPath);
  } else if (const FolderKind kind = system.InspectFolder(check.fullPath); kind != FolderKind::Folder) {
    check.refusal = KindRefusal(kind, check.fullPath);
  } else {
    check.verdict = FolderIsRegistered(system, check.fullPath) ? FolderCheck::Verdict::Registered
                                                               : FolderCheck::Verdict::NotRegistered;
  }
  return check;
}

RemovalReport RemoveInstallation(UninstallSystem& system, const RemovalRequest& request,
                                 std::span<const char* const> installedFiles) {
  RemovalReport report;
  const FolderCheck check = CheckFolder(system, request.folder);
  report.folder = check.fullPath.empty() ? request.folder : check.fullPath;
  if (check.verdict == FolderCheck::Verdict::Refused) {
    report.refusal = check.refusal;
    return report;
  }
  if (check.verdict == FolderCheck::Verdict::NotRegistered && !request.folderConfirmed) {
    report.refusal = "TAV Quillbox is not registered as installed in the folder " + report.folder + ".";
    return report;
  }
  // Held from here on, so that it cannot be swapped for a link meanwhile.
  if (const FolderKind kind = system.HoldFolder(report.folder); kind != FolderKind::Folder) {
    report.refusal = KindRefusal(kind, report.folder);
    return report;
  }
  const RegistryFindings found = ReadFindings(system, report.folder);
  Remover remover(system, request, report.folder, report);
  remover.Shortcut("Programs");
  remover.Shortcut("Desktop");
  remover.Association(found);
  remover.AppPaths(kAppPathsExeKey);
  remover.AppPaths(kAppPathsKey);
  remover.ProductValues(found);
  for (const char* name : installedFiles) remover.InstalledFile(name);
  remover.Folder();
  remover.UninstallEntry(found);
  return report;
}
