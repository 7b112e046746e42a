// Shell link files, made by the system's own shell-link object.
#include "base/Exception.h"
#include "base/PathText.h"
#include "base/UserMessage.h"
#include "sysint/install.h"

void CreateShortcut(WindowsSystem& system, const std::string& target, const std::string& arguments,
                    const std::string& linkPath, const std::string& description) {
  if (!HasExtension(linkPath, ".LNK")) {
    ShowMessage("Error: link path extension must be .LNK");
    return;
  }
  const std::string failure = system.WriteShellLink(linkPath, {target, arguments, FolderOf(target), description});
  if (!failure.empty()) throw Exception(failure);
}
