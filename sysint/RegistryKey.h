// An open registry key, closed when the holder goes (also when an exception
// passes).
#pragma once

#include <windows.h>

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (handle_ != nullptr) RegCloseKey(handle_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Where an opening call stores the key; holds none yet.
  HKEY* Out() { return &handle_; }
  HKEY Handle() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};
