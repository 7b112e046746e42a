// Windows in memory: the registry, the Windows folder and shell links.
#include "sysint/tests/FakeWindowsSystem.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

FakeWindowsSystem::Key FakeKey(RegistryRoot root, const std::string& keyPath) { return {root, Lower(keyPath)}; }

void FakeWindowsSystem::SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                                 const std::string& text) {
  SetValue(root, keyPath, name, {RegistryValue::Kind::Text, text});
}

void FakeWindowsSystem::SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                                 RegistryValue value) {
  keys[FakeKey(root, keyPath)][Lower(name)] = std::move(value);
}

RegistryValue FakeWindowsSystem::ReadValue(RegistryRoot root, const std::string& keyPath,
                                           const std::string& valueName) {
  const auto key = keys.find(FakeKey(root, keyPath));
  if (key == keys.end()) return {};
  const auto value = key->second.find(Lower(valueName));
  if (value == key->second.end()) return {};
  return value->second;
}

std::optional<std::string> FakeWindowsSystem::StoredText(RegistryRoot root, const std::string& keyPath,
                                                         const std::string& name) {
  const RegistryValue value = ReadValue(root, keyPath, name);
  if (value.kind != RegistryValue::Kind::Text) return std::nullopt;
  return value.text;
}

bool FakeWindowsSystem::WriteString(RegistryRoot root, KeyAccess access, const std::string& keyPath,
                                    const std::string& valueName, const std::string& text) {
  if (lockedKeys.count(FakeKey(root, keyPath)) != 0) return false;
  SetValue(root, keyPath, valueName, text);
  writes.push_back({root, access, keyPath, valueName, text});
  return true;
}

bool FakeWindowsSystem::KeyExists(RegistryRoot root, const std::string& keyPath) {
  return keys.count(FakeKey(root, keyPath)) != 0;
}

bool FakeWindowsSystem::KeyIsEmpty(RegistryRoot root, const std::string& keyPath) {
  const Key key = FakeKey(root, keyPath);
  for (const auto& [other, values] : keys) {
    if (other == key && !values.empty()) return false;
    if (other.first == root && other.second.rfind(key.second + "\\", 0) == 0) return false;
  }
  return true;
}

Outcome FakeWindowsSystem::DeleteKeyTree(RegistryRoot root, const std::string& keyPath) {
  const Key key = FakeKey(root, keyPath);
  if (lockedKeys.count(key) != 0) return Outcome::Failed("access denied");
  log.push_back("key " + keyPath);
  for (auto it = keys.begin(); it != keys.end();) {
    const bool inTree = it->first.first == root &&
                        (it->first.second == key.second || it->first.second.rfind(key.second + "\\", 0) == 0);
    it = inTree ? keys.erase(it) : std::next(it);
  }
  return Outcome::Done();
}

Outcome FakeWindowsSystem::DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) {
  const Key key = FakeKey(root, keyPath);
  if (lockedKeys.count(key) != 0) return Outcome::Failed("access denied");
  log.push_back("value " + keyPath + ", " + valueName);
  const auto found = keys.find(key);
  if (found != keys.end()) found->second.erase(Lower(valueName));
  return Outcome::Done();
}

std::string FakeWindowsSystem::WriteShellLink(const std::string& linkPath, const ShellLinkFields& fields) {
  if (!linkFailure.empty()) return linkFailure;
  links[linkPath] = fields;
  return {};
}

std::optional<std::string> FakeWindowsSystem::ShellLinkTarget(const std::string& linkPath) {
  const auto link = links.find(linkPath);
  if (link == links.end()) return std::nullopt;
  return link->second.target;
}
