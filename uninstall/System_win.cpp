// The uninstaller's path and file calls on Windows.
#include "uninstall/System_win.h"

#include <vector>

#include "base/FileSystem.h"
#include "uninstall/PathMatch.h"

namespace {

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// A system call that fills a buffer and answers the length it needs.
template <typename Call>
std::string Filled(Call call) {
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  for (;;) {
    const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1u);
  }
}

// The long form of a full path, as far as its start exists.
std::string LongForm(const std::string& full) {
  const std::string longForm =
      Filled([&full](char* buffer, DWORD size) { return GetLongPathNameA(full.c_str(), buffer, size); });
  if (!longForm.empty()) return longForm;
  const std::size_t separator = full.find_last_of('\\');
  if (separator == std::string::npos || IsRootFolder(full)) return full;
  const std::string parent = full.substr(0, separator == 2 ? separator + 1 : separator);
  const std::string longParent = LongForm(parent);
  return (longParent.ends_with('\\') ? longParent : longParent + "\\") + full.substr(separator + 1);
}

DWORD PathAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// What stands at path, read from its own entry, never through a link. A
// handle opened on the entry itself is asked too: Wine shows a host's link
// only in the entry's attributes, Windows in both.
FolderKind KindOf(const std::string& path, HANDLE entry) {
  DWORD attributes = PathAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return FolderKind::Missing;
  BY_HANDLE_FILE_INFORMATION information{};
  if (entry != INVALID_HANDLE_VALUE && GetFileInformationByHandle(entry, &information)) {
    attributes |= information.dwFileAttributes;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return FolderKind::Link;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FolderKind::Folder : FolderKind::NotAFolder;
}

HANDLE OpenEntry(const std::string& path, DWORD access, DWORD share) {
  return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

Outcome RemoveAtRestart(const std::string& path) {
  if (MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return Outcome::AtRestart();
  return FailedWith(GetLastError());
}

}  // namespace

WindowsUninstallSystem::WindowsUninstallSystem(std::string setAsideFolder)
    : setAsideFolder_(std::move(setAsideFolder)) {}

WindowsUninstallSystem::~WindowsUninstallSystem() { ReleaseFolder(); }

std::string WindowsUninstallSystem::FullPath(const std::string& path) {
  const std::string plain = PlainPathText(path);
  if (!IsFullPath(plain)) return {};
  const std::string full = Filled(
      [&plain](char* buffer, DWORD size) { return GetFullPathNameA(plain.c_str(), size, buffer, nullptr); });
  if (full.empty()) return {};
  std::string longForm = LongForm(full);
  while (longForm.ends_with('\\') && !IsRootFolder(longForm)) longForm.pop_back();
  return longForm;
}

bool WindowsUninstallSystem::SameFullPath(const std::string& left, const std::string& right) {
  return CompareStringOrdinal(WideText(left).c_str(), -1, WideText(right).c_str(), -1, TRUE) == CSTR_EQUAL;
}

FolderKind WindowsUninstallSystem::InspectFolder(const std::string& path) {
  HANDLE entry = OpenEntry(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  const FolderKind kind = KindOf(path, entry);
  if (entry != INVALID_HANDLE_VALUE) CloseHandle(entry);
  return kind;
}

FolderKind WindowsUninstallSystem::HoldFolder(const std::string& path) {
  ReleaseFolder();
  // Shared for anything but deleting, which renaming it or putting a link in
  // its place would need.
  heldFolder_ = OpenEntry(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
  const FolderKind kind = KindOf(path, heldFolder_);
  return kind == FolderKind::Folder && heldFolder_ == INVALID_HANDLE_VALUE ? FolderKind::NotAFolder : kind;
}

void WindowsUninstallSystem::ReleaseFolder() {
  if (heldFolder_ != INVALID_HANDLE_VALUE) CloseHandle(heldFolder_);
  heldFolder_ = INVALID_HANDLE_VALUE;
}

bool WindowsUninstallSystem::FolderIsEmpty(const std::string& path) {
  WIN32_FIND_DATAA entry{};
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  bool empty = true;
  do {
    const std::string name = entry.cFileName;
    empty = name == "." || name == "..";
  } while (empty && FindNextFileA(search, &entry));
  FindClose(search);
  return empty;
}

bool WindowsUninstallSystem::FileExists(const std::string& path) { return FileExistsAt(path); }

// Opened on its own entry and deleted through that handle: what was checked
// is what goes.
Outcome WindowsUninstallSystem::RemoveFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return IsMissing(error) ? Outcome::Done() : FailedWith(error);
  }
  FILE_BASIC_INFO basic{};
  GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic);
  const DWORD entryAttributes = PathAttributes(path);
  const DWORD attributes =
      basic.FileAttributes | (entryAttributes != INVALID_FILE_ATTRIBUTES ? entryAttributes : 0);
  Outcome outcome;
  if ((attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    outcome = Outcome::Failed("a link or a folder of that name, not a file of TAV Quillbox");
  } else {
    if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
      FILE_BASIC_INFO writable = basic;
      writable.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
      if (writable.FileAttributes == 0) writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
      SetFileInformationByHandle(file, FileBasicInfo, &writable, sizeof writable);
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition)) {
      outcome = FailedWith(GetLastError());
      SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
    }
  }
  CloseHandle(file);
  return outcome;
}

Outcome WindowsUninstallSystem::SetAside(const std::string& path) {
  // A running program's file may be renamed, within its drive: out of the
  // folder, into this program's own, whose files Windows deletes at its
  // next start.
  if (!setAsideFolder_.empty()) {
    const std::string aside = setAsideFolder_ + "\\~" + NameOf(path);
    if (MoveFileExA(path.c_str(), aside.c_str(), 0)) {
      MoveFileExA(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
      return Outcome::Done();
    }
  }
  return RemoveAtRestart(path);
}

Outcome WindowsUninstallSystem::RemoveFolder(const std::string& path, bool atRestart) {
  ReleaseFolder();
  if (atRestart) return RemoveAtRestart(path);
  // A link put in the folder's place meanwhile is removed itself, not followed.
  if (RemoveDirectoryA(path.c_str())) return Outcome::Done();
  const DWORD error = GetLastError();
  return IsMissing(error) ? Outcome::Done() : FailedWith(error);
}
