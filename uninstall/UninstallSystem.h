// What the uninstaller asks of the system, a few calls wide, so that the
// decisions of what to remove are made and tested without Windows. The
// Windows implementation is WindowsUninstallSystem (System_win.h). None of
// these calls throws: what cannot be read counts as absent, and a removal
// that fails says why.
#pragma once

#include <optional>
#include <string>
#include <utility>

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

// How removing one thing went. Removing what is not there is Done.
struct Outcome {
  enum class State { Done, AtRestart, Failed };
  State state = State::Done;
  std::string reason;  // for Failed: why, as the user reads it

  static Outcome Done() { return {}; }
  // Windows removes it when it next starts.
  static Outcome AtRestart() { return {State::AtRestart, {}}; }
  static Outcome Failed(std::string why) { return {State::Failed, std::move(why)}; }
};

// What stands at the installation folder's path. A Link (a junction, a
// symbolic link or another reparse point) leads elsewhere: nothing is removed
// through it.
enum class FolderKind { Missing, Folder, Link, NotAFolder };

class UninstallSystem {
 public:
  virtual ~UninstallSystem() = default;

  // A string value (an empty name is the key's default value); nothing when
  // the key or the value is absent or not a string.
  virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& keyPath,
                                                const std::string& valueName) = 0;
  virtual bool KeyExists(RegistryRoot root, const std::string& keyPath) = 0;
  // Whether the key holds neither values nor subkeys.
  virtual bool KeyIsEmpty(RegistryRoot root, const std::string& keyPath) = 0;
  // Removes the key with its values and subkeys.
  virtual Outcome DeleteKeyTree(RegistryRoot root, const std::string& keyPath) = 0;
  virtual Outcome DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) = 0;
  // The shell tells that file associations changed.
  virtual void AssociationsChanged() = 0;

  // The per-user shell folder ("Programs", "Desktop") ending in "\", as the
  // installation found it; empty when it cannot be told.
  virtual std::string ShellFolder(const std::string& name) = 0;
  // The program a shell link file starts; nothing when there is no such
  // file or it is not a readable link.
  virtual std::optional<std::string> ShortcutTarget(const std::string& linkPath) = 0;

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
