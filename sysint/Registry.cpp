// Reading and writing single string values of the registry, with the
// messages the user sees when that fails.
#include "base/Exception.h"
#include "sysint/install.h"

std::string ReadRegString(WindowsSystem& system, RegistryRoot root, const std::string& keyPath,
                          const std::string& valueName) {
  RegistryValue value = system.ReadValue(root, keyPath, valueName);
  if (value.kind == RegistryValue::Kind::Other) throw Exception(FormatText("Invalid data type for '%s'", valueName));
  if (value.kind == RegistryValue::Kind::Unreadable) {
    throw Exception(FormatText("Failed to get data for '%s'", valueName));
  }
  return std::move(value.text);  // empty when missing
}

void WriteRegString(WindowsSystem& system, RegistryRoot root, const std::string& keyPath,
                    const std::string& valueName, const std::string& text) {
  if (!system.WriteString(root, KeyAccess::Full, keyPath, valueName, text)) {
    throw Exception(FormatText("Failed to set data for '%s'", valueName));
  }
}

void WriteClassesRootValue(WindowsSystem& system, const std::string& keyPath, const std::string& valueName,
                           const std::string& text) {
  if (!system.WriteString(RegistryRoot::ClassesRoot, KeyAccess::ReadWrite, keyPath, valueName, text)) {
    throw Exception("Error creating system registry entry");
  }
}
