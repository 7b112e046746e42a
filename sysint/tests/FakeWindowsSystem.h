// Windows in memory, for the installation's and the uninstaller's logic:
// registry keys with their values, the Windows folder, shell link files,
// keys a test locks and link objects it withholds, and what was changed.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sysint/WindowsSystem.h"

class FakeWindowsSystem : public virtual WindowsSystem {
 public:
  using Key = std::pair<RegistryRoot, std::string>;

  // One WriteString, as it was asked for.
  struct Write {
    RegistryRoot root;
    KeyAccess access;
    std::string keyPath;
    std::string valueName;
    std::string text;
    bool operator==(const Write&) const = default;
  };

  // Key paths and value names in lower case: the registry ignores case.
  std::map<Key, std::map<std::string, RegistryValue>> keys;
  // Keys whose values cannot be written or removed, nor the keys themselves.
  std::set<Key> lockedKeys;
  std::string windowsFolder = "C:\\WINDOWS";
  std::map<std::string, ShellLinkFields> links;  // link file -> what it starts
  // What WriteShellLink answers, when set, instead of making the link.
  std::string linkFailure;
  int associationNotices = 0;
  // Every write that went through, in order.
  std::vector<Write> writes;
  // Every removal, in order: "key path", "value path, name".
  std::vector<std::string> log;

  // A string value (or, the second, any value), set without a trace in
  // writes.
  void SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name, const std::string& text);
  void SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name, RegistryValue value);
  // The text of a string value; nothing for any other.
  std::optional<std::string> StoredText(RegistryRoot root, const std::string& keyPath, const std::string& name);

  RegistryValue ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) override;
  bool WriteString(RegistryRoot root, KeyAccess access, const std::string& keyPath, const std::string& valueName,
                   const std::string& text) override;
  bool KeyExists(RegistryRoot root, const std::string& keyPath) override;
  bool KeyIsEmpty(RegistryRoot root, const std::string& keyPath) override;
  Outcome DeleteKeyTree(RegistryRoot root, const std::string& keyPath) override;
  Outcome DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) override;
  std::string WindowsFolder() override { return windowsFolder; }
  void AssociationsChanged() override { ++associationNotices; }
  std::string WriteShellLink(const std::string& linkPath, const ShellLinkFields& fields) override;
  std::optional<std::string> ShellLinkTarget(const std::string& linkPath) override;
};

// The key of keyPath under root as the fake files it.
FakeWindowsSystem::Key FakeKey(RegistryRoot root, const std::string& keyPath);
