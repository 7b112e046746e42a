#include "setup/tests/SetupTestEnvironment.h"

#include "filestore/FileSrc.h"
#include "sysint/FBrowse_win.h"
#include "winui/StandardControls.h"
#include "winui/tests/DialogWatcher_win.h"
#include "zip/ZipMstr.h"

void PrepareWindowLayer() {
  Application.Initialize();
  RegisterStandardControls();
  RegisterZipMstrComponents();
  RegisterFileSrcComponents();
  RegisterFBrowseComponents();
  Application.SetTitle("TAV Quillbox Setup");
}

void MainWindowTest::SetUp() {
  PrepareWindowLayer();
  Application.CreateForm(Form1);
  ASSERT_EQ(Application.MainForm(), Form1);
}

void MainWindowTest::TearDown() {
  Application.ProcessMessages();
  // A closed main window left the loop's quit message waiting: take it here.
  MSG quit{};
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  Application.DestroyMainForm();
}

void MainWindowTest::ShowMainWindow() {
  Form1->Show();
  PumpUntil([] { return IsWindowVisible(Form1->Handle()) != FALSE; });
  Application.ProcessMessages();
}

RECT ClientRelativeRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::optional<StoredValue> ReadValue(const char* key, const char* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
  StoredValue value;
  DWORD size = 0;
  std::optional<StoredValue> result;
  if (RegQueryValueExA(handle, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.data.resize(size);
    if (RegQueryValueExA(handle, name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS)
      result = value;
  }
  RegCloseKey(handle);
  return result;
}

void WriteValue(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(handle);
}

void WriteText(const char* key, const char* name, const std::string& text) {
  WriteValue(key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

ProgramFilesDirKept::ProgramFilesDirKept() : stored_(ReadValue(kCurrentVersion, "ProgramFilesDir")) {}

ProgramFilesDirKept::~ProgramFilesDirKept() {
  if (stored_) {
    WriteValue(kCurrentVersion, "ProgramFilesDir", stored_->type, stored_->data.data(),
               static_cast<DWORD>(stored_->data.size()));
    return;
  }
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersion, 0, KEY_WRITE, &handle) == ERROR_SUCCESS) {
    RegDeleteValueA(handle, "ProgramFilesDir");
    RegCloseKey(handle);
  }
}
