// Reading and writing single string values of the registry.
#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Exception.h"
#include "sysint/RegistryKey.h"
#include "sysint/install.h"

namespace {

const BYTE* StringData(const std::string& text) {
  return reinterpret_cast<const BYTE*>(text.c_str());
}

// The size the system is given counts the terminating NUL.
DWORD StringSize(const std::string& text) { return static_cast<DWORD>(text.size() + 1); }

}  // namespace

std::string ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName) {
  // Read access only: an ordinary user may read HKEY_LOCAL_MACHINE but not
  // write it, and asking for more would hide what is there.
  RegistryKey key;
  if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return {};

  const char* name = valueName.c_str();
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Handle(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      size == 0) {
    return {};
  }

  std::vector<char> data(size);
  if (RegQueryValueExA(key.Handle(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS) {
    throw Exception(FormatText("Failed to get data for '%s'", valueName));
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    throw Exception(FormatText("Invalid data type for '%s'", valueName));
  }
  // The stored text need not end in a NUL: never read past what was returned.
  const std::size_t returned = std::min<std::size_t>(size, data.size());
  return std::string(data.data(), strnlen(data.data(), returned));
}

void WriteRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                    const std::string& text) {
  RegistryKey key;
  const bool opened = RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, key.Out(), nullptr) == ERROR_SUCCESS;
  if (!opened || RegSetValueExA(key.Handle(), valueName.c_str(), 0, REG_SZ, StringData(text),
                                StringSize(text)) != ERROR_SUCCESS) {
    throw Exception(FormatText("Failed to set data for '%s'", valueName));
  }
}

void WriteClassesRootValue(const std::string& keyPath, const std::string& valueName,
                           const std::string& text) {
  RegistryKey key;
  char noClass[] = "";
  DWORD disposition = 0;
  const bool created =
      RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, noClass, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, key.Out(), &disposition) == ERROR_SUCCESS;
  if (!created || RegSetValueExA(key.Handle(), valueName.c_str(), 0, REG_SZ, StringData(text),
                                 StringSize(text)) != ERROR_SUCCESS) {
    throw Exception("Error creating system registry entry");
  }
}
