#include "uninstall/tests/FakeSystem.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

void FakeSystem::SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                          const std::string& text) {
  keys[{root, Lower(keyPath)}][Lower(name)] = text;
}

void FakeSystem::AddLink(const std::string& linkPath, const std::string& target) {
  files.insert(linkPath);
  links[linkPath] = target;
}

std::optional<std::string> FakeSystem::ReadString(RegistryRoot root, const std::string& keyPath,
                                                  const std::string& valueName) {
  const auto key = keys.find({root, Lower(keyPath)});
  if (key == keys.end()) return std::nullopt;
  const auto value = key->second.find(Lower(valueName));
  if (value == key->second.end()) return std::nullopt;
  return value->second;
}

bool FakeSystem::KeyExists(RegistryRoot root, const std::string& keyPath) {
  return keys.count({root, Lower(keyPath)}) != 0;
}

bool FakeSystem::DeleteKeyTree(RegistryRoot root, const std::string& keyPath) {
  const Key key{root, Lower(keyPath)};
  if (lockedKeys.count(key) != 0) return false;
  for (auto it = keys.begin(); it != keys.end();) {
    const bool inTree = it->first.first == root &&
                        (it->first.second == key.second || it->first.second.rfind(key.second + "\\", 0) == 0);
    it = inTree ? keys.erase(it) : std::next(it);
  }
  return true;
}

std::string FakeSystem::ShellFolder(const std::string& name) { return "C:\\Users\\me\\" + name + "\\"; }

std::optional<std::string> FakeSystem::ShortcutTarget(const std::string& linkPath) {
  const auto link = links.find(linkPath);
  if (link == links.end() || files.count(linkPath) == 0) return std::nullopt;
  return link->second;
}

bool FakeSystem::RemoveFile(const std::string& path) {
  if (lockedFiles.count(path) != 0) return false;
  files.erase(path);
  return true;
}

FolderRemoval FakeSystem::RemoveFolderIfEmpty(const std::string& path) {
  if (removedFolders.count(path) != 0) return FolderRemoval::Missing;
  for (const std::string& file : files) {
    if (file.rfind(path + "\\", 0) == 0) return FolderRemoval::NotEmpty;
  }
  removedFolders.insert(path);
  return FolderRemoval::Removed;
}
