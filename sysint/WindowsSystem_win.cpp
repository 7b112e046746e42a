// The registry, shell and shell-link calls of the installation and the
// uninstaller on Windows.
#include "sysint/WindowsSystem_win.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/FileSystem.h"
#include "sysint/ComRef_win.h"
#include "sysint/OleError.h"

namespace {

// The shell-link object's class. Its identifiers are spelled out here and
// the interfaces' taken with __uuidof: the system's uuid library holds every
// identifier in one object file, 40 KB that the setup program would carry.
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// An open registry key, closed when the holder goes.
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

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
  }
  return nullptr;
}

// Read access only: an ordinary user may read HKEY_LOCAL_MACHINE but not
// write it, and asking for more would hide what is there.
bool OpenForReading(RegistryRoot root, const std::string& keyPath, RegistryKey& key) {
  return RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
}

// The application's keys are asked for full access; the association's, with
// an empty class text, for reading and writing only.
bool CreateKey(RegistryRoot root, KeyAccess access, const std::string& keyPath, RegistryKey& key) {
  const bool full = access == KeyAccess::Full;
  char noClass[] = "";
  DWORD disposition = 0;
  return RegCreateKeyExA(RootKey(root), keyPath.c_str(), 0, full ? nullptr : noClass, REG_OPTION_NON_VOLATILE,
                         full ? KEY_ALL_ACCESS : KEY_READ | KEY_WRITE, nullptr, key.Out(),
                         full ? nullptr : &disposition) == ERROR_SUCCESS;
}

// The system's text for an error code as FormatMessage gives it, or empty.
std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message(text != nullptr ? text : "", text != nullptr ? length : 0);
  LocalFree(text);
  return message;
}

}  // namespace

std::wstring WideText(const std::string& text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
  return wide;
}

Outcome FailedWith(DWORD code) {
  const std::string text = OleErrorText(code, SystemMessage(code));
  return Outcome::Failed(text.rfind("OLE error", 0) == 0 ? "Windows error " + std::to_string(code) : text);
}

RegistryValue Win32System::ReadValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) {
  RegistryKey key;
  if (!OpenForReading(root, keyPath, key)) return {};
  const char* name = valueName.c_str();
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Handle(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  const bool isText = type == REG_SZ || type == REG_EXPAND_SZ;
  if (size == 0) return {isText ? RegistryValue::Kind::Text : RegistryValue::Kind::Missing, {}};
  std::vector<char> data(size);
  if (RegQueryValueExA(key.Handle(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS) {
    return {RegistryValue::Kind::Unreadable, {}};
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {RegistryValue::Kind::Other, {}};
  // The stored text need not end in a NUL: never read past what was returned.
  const std::size_t returned = std::min<std::size_t>(size, data.size());
  return {RegistryValue::Kind::Text, std::string(data.data(), strnlen(data.data(), returned))};
}

bool Win32System::WriteString(RegistryRoot root, KeyAccess access, const std::string& keyPath,
                              const std::string& valueName, const std::string& text) {
  RegistryKey key;
  if (!CreateKey(root, access, keyPath, key)) return false;
  // The size counts the terminating NUL.
  return RegSetValueExA(key.Handle(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool Win32System::KeyExists(RegistryRoot root, const std::string& keyPath) {
  RegistryKey key;
  return OpenForReading(root, keyPath, key);
}

bool Win32System::KeyIsEmpty(RegistryRoot root, const std::string& keyPath) {
  RegistryKey key;
  DWORD subkeys = 0;
  DWORD values = 0;
  return OpenForReading(root, keyPath, key) &&
         RegQueryInfoKeyA(key.Handle(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                          nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         subkeys == 0 && values == 0;
}

Outcome Win32System::DeleteKeyTree(RegistryRoot root, const std::string& keyPath) {
  const LSTATUS status = RegDeleteTreeA(RootKey(root), keyPath.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND || !KeyExists(root, keyPath)) return Outcome::Done();
  return FailedWith(static_cast<DWORD>(status));
}

Outcome Win32System::DeleteValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) {
  RegistryKey key;
  LSTATUS status = RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0, KEY_SET_VALUE, key.Out());
  if (status == ERROR_SUCCESS) status = RegDeleteValueA(key.Handle(), valueName.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return Outcome::Done();
  return FailedWith(static_cast<DWORD>(status));
}

std::string Win32System::WindowsFolder() {
  char buffer[1024];
  const UINT length = GetWindowsDirectoryA(buffer, 1023);
  return std::string(buffer, length < sizeof buffer ? length : 0);
}

void Win32System::AssociationsChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

std::string Win32System::WriteShellLink(const std::string& linkPath, const ShellLinkFields& fields) {
  ComRef<IUnknown> object;
  const HRESULT created = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                           __uuidof(IUnknown), object.Out());
  if (FAILED(created)) return OleErrorText(static_cast<DWORD>(created), SystemMessage(static_cast<DWORD>(created)));
  ComRef<IShellLinkA> link;
  ComRef<IPersistFile> file;
  if (FAILED(object->QueryInterface(__uuidof(IShellLinkA), link.Out())) ||
      FAILED(object->QueryInterface(__uuidof(IPersistFile), file.Out()))) {
    return "Interface not supported";
  }
  // The outcomes go unexamined: a link the shell cannot save (its folder is
  // missing or not writable) is simply not made, and the installation goes on.
  link->SetPath(fields.target.c_str());
  link->SetArguments(fields.arguments.c_str());
  link->SetWorkingDirectory(fields.workingFolder.c_str());
  link->SetDescription(fields.description.c_str());
  file->Save(WideText(linkPath).c_str(), FALSE);
  return {};
}

std::optional<std::string> Win32System::ShellLinkTarget(const std::string& linkPath) {
  if (!FileExistsAt(linkPath)) return std::nullopt;
  ComRef<IShellLinkA> link;
  ComRef<IPersistFile> file;
  if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkA), link.Out())) ||
      FAILED(link->QueryInterface(__uuidof(IPersistFile), file.Out())) ||
      FAILED(file->Load(WideText(linkPath).c_str(), STGM_READ))) {
    return std::nullopt;
  }
  char target[MAX_PATH] = {};
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return std::nullopt;
  return std::string(target);
}
