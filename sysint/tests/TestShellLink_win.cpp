#include "TestShellLink_win.h"

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "sysint/ComRef_win.h"

namespace {

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

template <class Getter>
std::string Field(Getter get) {
  char text[1024] = {};
  get(text, static_cast<int>(sizeof text));
  return text;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveTree(folder + name + "\\");
      } else {
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::optional<LinkFields> ReadLink(const std::string& path) {
  ComRef<IShellLinkA> link;
  ComRef<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.Out())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.Out())) ||
      FAILED(file->Load(Wide(path).c_str(), STGM_READ))) {
    return std::nullopt;
  }
  LinkFields fields;
  fields.Target =
      Field([&](char* text, int size) { link->GetPath(text, size, nullptr, SLGP_RAWPATH); });
  fields.Arguments = Field([&](char* text, int size) { link->GetArguments(text, size); });
  fields.WorkingFolder =
      Field([&](char* text, int size) { link->GetWorkingDirectory(text, size); });
  fields.Description = Field([&](char* text, int size) { link->GetDescription(text, size); });
  return fields;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

ScratchFolder::ScratchFolder(const std::string& name, std::string parent) {
  if (parent.empty()) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    parent = temp;
  }
  path_ = parent + name + " " + std::to_string(GetCurrentProcessId()) + "\\";
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::size_t ScratchFolder::FileCount() const {
  std::size_t count = 0;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((path_ + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++count;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return count;
}
