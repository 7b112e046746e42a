// What the uninstaller asks of the system, a few calls wide, so that the
// decisions of what to remove are made and tested without Windows. The
// Windows implementation is WindowsUninstallSystem (System_win.h). None of
// these calls throws: what cannot be read counts as absent, what cannot be
// removed answers false.
#pragma once

#include <optional>
#include <string>

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

enum class FolderRemoval { Removed, Missing, NotEmpty, Failed };

class UninstallSystem {
 public:
  virtual ~UninstallSystem() = default;

  // A string value (an empty name is the key's default value); nothing when
  // the key or the value is absent or not a string.
  virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& keyPath,
                                                const std::string& valueName) = 0;
  virtual bool KeyExists(RegistryRoot root, const std::string& keyPath) = 0;
  // Removes the key with its values and subkeys; true when it is gone.
  virtual bool DeleteKeyTree(RegistryRoot root, const std::string& keyPath) = 0;
  // The shell tells that file associations changed.
  virtual void AssociationsChanged() = 0;

  // The per-user shell folder ("Programs", "Desktop") ending in "\", as the
  // installation found it; empty when it cannot be told.
  virtual std::string ShellFolder(const std::string& name) = 0;
  // The program a shell link file starts; nothing when there is no such
  // file or it is not a readable link.
  virtual std::optional<std::string> ShortcutTarget(const std::string& linkPath) = 0;

  virtual bool FileExists(const std::string& path) = 0;
  // Removes the file, read-only or not; true when it is gone.
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual FolderRemoval RemoveFolderIfEmpty(const std::string& path) = 0;
};
