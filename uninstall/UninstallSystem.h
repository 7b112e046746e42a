// What the uninstaller asks of the system, so that the decisions of what to
// remove are made and tested without Windows: the registry and the shell as
// the installation uses them (WindowsSystem), and the installation's folder
// and files. The Windows implementation is WindowsUninstallSystem
// (System_win.h). None of these calls throws: what cannot be read counts as
// absent, and a removal that fails says why.
#pragma once

#include <string>

#include "sysint/WindowsSystem.h"

// What stands at the installation folder's path. A Link (a junction, a
// symbolic link or another reparse point) leads elsewhere: nothing is removed
// through it.
enum class FolderKind { Missing, Folder, Link, NotAFolder };

class UninstallSystem : public virtual WindowsSystem {
 public:
  // path in the one form that names its file: full ("." and ".." resolved),
  // long names for short 8.3 ones, no "\\?\" prefix, no "\" at the end but
  // a root's. Empty when path is not a full path (see IsFullPath).
  virtual std::string FullPath(const std::string& path) = 0;
  // Whether two full paths are one, letters compared as the file system
  // compares them.
  virtual bool SameFullPath(const std::string& left, const std::string& right) = 0;

  // What stands at the folder's path, not following a link.
  virtual FolderKind InspectFolder(const std::string& path) = 0;
  // The same, and a Folder stays held (it cannot be renamed, removed or
  // replaced by a link) until RemoveFolder.
  virtual FolderKind HoldFolder(const std::string& path) = 0;
  virtual bool FolderIsEmpty(const std::string& path) = 0;

  virtual bool FileExists(const std::string& path) = 0;
  // Removes the plain file at path, read-only or not; a link or a folder of
  // that name is not removed.
  virtual Outcome RemoveFile(const std::string& path) = 0;
  // For a running program's file, which cannot be removed: moves it out of
  // its folder to where Windows removes it when it next starts (Done), or
  // has it removed in place then (AtRestart).
  virtual Outcome SetAside(const std::string& path) = 0;
  // Lets the held folder go and removes it, now or, atRestart, when Windows
  // next starts (then only if it is empty by then).
  virtual Outcome RemoveFolder(const std::string& path, bool atRestart) = 0;
};
