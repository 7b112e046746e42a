#include "sysint/FBrowse_win.h"

#include <cstring>

void TFolderBrowse::DeclareProperties(PropertyTable& table) {
  TComponent::DeclareProperties(table);
  table.String(
      "Directory", [this] { return Directory; },
      [this](const std::string& value) { Directory = value; });
  table.StoredWhen([this] { return !Directory.empty(); });
  table.String(
      "Title", [this] { return Title; }, [this](const std::string& value) { Title = value; });
  table.StoredWhen([this] { return !Title.empty(); });
}

bool TFolderBrowse::Execute(HWND owner) {
  // The system's path limit plus one; serves as the display-name buffer and
  // then receives the chosen path.
  char path[MAX_PATH + 1] = {};
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = path;
  info.lpszTitle = Title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(this);

  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
  if (chosen == nullptr) return false;
  const bool isFolder = SHGetPathFromIDListA(chosen, path) != FALSE;
  Directory.assign(path, strnlen(path, sizeof path));
  // The list was allocated by the shell's task allocator; the caller frees it.
  CoTaskMemFree(chosen);
  return isFolder;
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM callbackData) noexcept {
  const auto* browser = reinterpret_cast<const TFolderBrowse*>(callbackData);
  if (message == BFFM_INITIALIZED && !browser->Directory.empty()) {
    // TRUE: the parameter is a path, not an identifier list.
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                 reinterpret_cast<LPARAM>(browser->Directory.c_str()));
  }
  return 0;
}

void RegisterFBrowseComponents() {
  RegisterComponentClass("TFolderBrowse",
                         [](TComponent* owner) -> TComponent* { return new TFolderBrowse(owner); });
}
