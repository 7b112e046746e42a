// Registry access for the tests, on plain Win32 calls and apart from the code
// under test, and ways to put the shared prefix back as it was.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The REG_SZ data of a value without its NUL; nullopt when absent.
std::optional<std::string> StoredString(HKEY root, const std::string& path,
                                        const std::string& name);
bool KeyExists(HKEY root, const std::string& path);
// How many values the key holds (its default value counting when set).
DWORD ValueCount(HKEY root, const std::string& path);

// Stores raw data of any type, creating the key.
void StoreValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const std::string& data);
// A REG_SZ value with its terminating NUL.
void StoreString(HKEY root, const std::string& path, const std::string& name,
                 const std::string& text);
void DeleteValue(HKEY root, const std::string& path, const std::string& name);
void DeleteKeyTree(HKEY root, const std::string& path);

// Keeps a value as it is now and puts it back (type and data), or removes it,
// when destroyed; a key that did not exist is removed again.
class SavedValue {
 public:
  SavedValue(HKEY root, std::string path, std::string name);
  ~SavedValue();
  SavedValue(const SavedValue&) = delete;
  SavedValue& operator=(const SavedValue&) = delete;

 private:
  HKEY root_;
  std::string path_;
  std::string name_;
  bool keyExisted_;
  bool valueExisted_ = false;
  DWORD type_ = 0;
  std::string data_;
};

// A key (created when missing) that everybody may read but not write, as
// HKEY_LOCAL_MACHINE is to an ordinary user; its former access is restored
// when destroyed. Denied() tells whether the registry enforces it.
class ReadOnlyKey {
 public:
  ReadOnlyKey(HKEY root, std::string path);
  ~ReadOnlyKey();
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

  bool Denied() const;

 private:
  HKEY root_;
  std::string path_;
  std::vector<BYTE> formerSecurity_;
};
