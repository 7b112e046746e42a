// The uninstaller's registry, shell and file calls on Windows.
#include "uninstall/System_win.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "base/Exception.h"
#include "base/FileSystem.h"
#include "sysint/ComRef.h"
#include "sysint/RegistryKey.h"
#include "sysint/install.h"

namespace {

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
  }
  return nullptr;
}

std::wstring WideText(const std::string& text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
  return wide;
}

}  // namespace

std::optional<std::string> WindowsUninstallSystem::ReadString(RegistryRoot root,
                                                              const std::string& keyPath,
                                                              const std::string& valueName) {
  RegistryKey key;
  if (RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Handle(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::vector<char> data(size + 1u, '\0');
  if (RegQueryValueExA(key.Handle(), valueName.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(data.data());
}

bool WindowsUninstallSystem::KeyExists(RegistryRoot root, const std::string& keyPath) {
  RegistryKey key;
  return RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
}

bool WindowsUninstallSystem::DeleteKeyTree(RegistryRoot root, const std::string& keyPath) {
  RegDeleteTreeA(RootKey(root), keyPath.c_str());
  return !KeyExists(root, keyPath);
}

void WindowsUninstallSystem::AssociationsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::string WindowsUninstallSystem::ShellFolder(const std::string& name) {
  try {
    return GetShellFolder(name);
  } catch (const Exception&) {
    // A "Shell Folders" entry that is not a string: no shortcut can be found there.
    return {};
  }
}

std::optional<std::string> WindowsUninstallSystem::ShortcutTarget(const std::string& linkPath) {
  if (!FileExistsAt(linkPath)) return std::nullopt;
  ComRef<IShellLinkA> link;
  ComRef<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.Out())) ||
      FAILED(file->Load(WideText(linkPath).c_str(), STGM_READ))) {
    return std::nullopt;
  }
  char target[MAX_PATH] = {};
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return std::nullopt;
  return std::string(target);
}

bool WindowsUninstallSystem::FileExists(const std::string& path) { return FileExistsAt(path); }

bool WindowsUninstallSystem::RemoveFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  return RemoveFileAt(path) || !FileExistsAt(path);
}

FolderRemoval WindowsUninstallSystem::RemoveFolderIfEmpty(const std::string& path) {
  if (RemoveDirectoryA(path.c_str())) return FolderRemoval::Removed;
  const DWORD error = GetLastError();
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return FolderRemoval::Missing;
  return error == ERROR_DIR_NOT_EMPTY ? FolderRemoval::NotEmpty : FolderRemoval::Failed;
}
