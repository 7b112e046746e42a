#include "TestRegistry_win.h"

#include <stdexcept>

namespace {

void Check(LSTATUS status, const char* what) {
  if (status != ERROR_SUCCESS) throw std::runtime_error(std::string(what) + " failed");
}

struct Key {
  HKEY handle = nullptr;
  ~Key() {
    if (handle != nullptr) RegCloseKey(handle);
  }
};

bool Open(HKEY root, const std::string& path, REGSAM access, Key& key) {
  return RegOpenKeyExA(root, path.c_str(), 0, access, &key.handle) == ERROR_SUCCESS;
}

void Create(HKEY root, const std::string& path, REGSAM access, Key& key) {
  Check(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key.handle, nullptr),
        "RegCreateKeyExA");
}

std::optional<std::string> RawValue(HKEY root, const std::string& path, const std::string& name,
                                    DWORD& type) {
  Key key;
  if (!Open(root, path, KEY_QUERY_VALUE, key)) return std::nullopt;
  DWORD size = 0;
  if (RegQueryValueExA(key.handle, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::string data(size, '\0');
  Check(RegQueryValueExA(key.handle, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size),
        "RegQueryValueExA");
  data.resize(size);
  return data;
}

}  // namespace

std::optional<std::string> StoredString(HKEY root, const std::string& path,
                                        const std::string& name) {
  DWORD type = 0;
  std::optional<std::string> data = RawValue(root, path, name, type);
  if (!data) return std::nullopt;
  if (type != REG_SZ) throw std::runtime_error("not a REG_SZ value: " + name);
  // The writer's size counts the NUL: a value without one was written short.
  if (data->empty() || data->back() != '\0') {
    throw std::runtime_error("REG_SZ without NUL: " + name);
  }
  data->pop_back();
  return data;
}

bool KeyExists(HKEY root, const std::string& path) {
  Key key;
  return Open(root, path, KEY_READ, key);
}

DWORD ValueCount(HKEY root, const std::string& path) {
  Key key;
  if (!Open(root, path, KEY_READ, key)) return 0;
  DWORD count = 0;
  Check(RegQueryInfoKeyA(key.handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr),
        "RegQueryInfoKeyA");
  return count;
}

void StoreValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const std::string& data) {
  Key key;
  Create(root, path, KEY_SET_VALUE, key);
  Check(RegSetValueExA(key.handle, name.c_str(), 0, type,
                       reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())),
        "RegSetValueExA");
}

void StoreString(HKEY root, const std::string& path, const std::string& name,
                 const std::string& text) {
  StoreValue(root, path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name) {
  Key key;
  if (Open(root, path, KEY_SET_VALUE, key)) RegDeleteValueA(key.handle, name.c_str());
}

void DeleteKeyTree(HKEY root, const std::string& path) {
  RegDeleteTreeA(root, path.c_str());
}

SavedValue::SavedValue(HKEY root, std::string path, std::string name)
    : root_(root),
      path_(std::move(path)),
      name_(std::move(name)),
      keyExisted_(KeyExists(root_, path_)) {
  std::optional<std::string> data = RawValue(root_, path_, name_, type_);
  valueExisted_ = data.has_value();
  if (data) data_ = *data;
}

SavedValue::~SavedValue() {
  if (!keyExisted_) {
    DeleteKeyTree(root_, path_);
  } else if (valueExisted_) {
    StoreValue(root_, path_, name_, type_, data_);
  } else {
    DeleteValue(root_, path_, name_);
  }
}

ReadOnlyKey::ReadOnlyKey(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
  Key key;
  Create(root_, path_, READ_CONTROL | WRITE_DAC, key);
  DWORD size = 0;
  RegGetKeySecurity(key.handle, DACL_SECURITY_INFORMATION, nullptr, &size);
  formerSecurity_.resize(size);
  Check(RegGetKeySecurity(key.handle, DACL_SECURITY_INFORMATION, formerSecurity_.data(), &size),
        "RegGetKeySecurity");

  // Everybody reads; writing the access list and deleting stay possible so
  // that the test can undo it.
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
    throw std::runtime_error("AllocateAndInitializeSid failed");
  }
  std::vector<BYTE> aclBuffer(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(everyone));
  auto* acl = reinterpret_cast<ACL*>(aclBuffer.data());
  InitializeAcl(acl, static_cast<DWORD>(aclBuffer.size()), ACL_REVISION);
  AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ | WRITE_DAC | DELETE, everyone);
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
  const LSTATUS status = RegSetKeySecurity(key.handle, DACL_SECURITY_INFORMATION, &descriptor);
  FreeSid(everyone);
  Check(status, "RegSetKeySecurity");
}

ReadOnlyKey::~ReadOnlyKey() {
  Key key;
  if (Open(root_, path_, WRITE_DAC, key)) {
    RegSetKeySecurity(key.handle, DACL_SECURITY_INFORMATION, formerSecurity_.data());
  }
}

bool ReadOnlyKey::Denied() const {
  Key key;
  return !Open(root_, path_, KEY_ALL_ACCESS, key);
}
