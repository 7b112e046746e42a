// The real Windows behind WindowsSystem: the registry through advapi32, the
// shell through shell32 and its shell-link object through COM (initialise
// COM on the calling thread first), and the pieces the uninstaller's own
// Windows calls share with it.
#pragma once

#include <windows.h>

#include "sysint/WindowsSystem.h"

class Win32System : public virtual WindowsSystem {
 public:
  RegistryValue ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) override;
  bool WriteString(RegistryRoot root, KeyAccess access, const std::string& keyPath, const std::string& valueName,
                   const std::string& text) override;
  bool KeyExists(RegistryRoot root, const std::string& keyPath) override;
  bool KeyIsEmpty(RegistryRoot root, const std::string& keyPath) override;
  Outcome DeleteKeyTree(RegistryRoot root, const std::string& keyPath) override;
  Outcome DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) override;
  std::string WindowsFolder() override;
  void AssociationsChanged() override;
  std::string WriteShellLink(const std::string& linkPath, const ShellLinkFields& fields) override;
  std::optional<std::string> ShellLinkTarget(const std::string& linkPath) override;
};

// text in UTF-16, converted from the ANSI code page.
std::wstring WideText(const std::string& text);

// A failed removal, with the system's text for the error code (or "Windows
// error N" when it has none).
Outcome FailedWith(DWORD code);
