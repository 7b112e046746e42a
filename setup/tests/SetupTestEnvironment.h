// What every setup test needs: the window layer and the component classes
// set up once, as the program's start-up does, and a fresh main window per
// test.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "setup/fmain.h"
#include "winui/Application_win.h"

// Sets up the layer and registers the classes (idempotent).
void PrepareWindowLayer();

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Shows the main window as the message loop does and handles what follows.
  void ShowMainWindow();
};

// The rectangle of a window relative to its parent window's client area.
RECT ClientRelativeRect(HWND window);

// Registry values under HKEY_LOCAL_MACHINE of the test prefix.
inline constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
struct StoredValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};
std::optional<StoredValue> ReadValue(const char* key, const char* name);
void WriteValue(const char* key, const char* name, DWORD type, const void* data, DWORD size);
void WriteText(const char* key, const char* name, const std::string& text);

// Keeps "ProgramFilesDir" as it was before, whatever a test writes there
// (the tests of a run share one prefix).
class ProgramFilesDirKept {
 public:
  ProgramFilesDirKept();
  ~ProgramFilesDirKept();
  ProgramFilesDirKept(const ProgramFilesDirKept&) = delete;
  ProgramFilesDirKept& operator=(const ProgramFilesDirKept&) = delete;

 private:
  std::optional<StoredValue> stored_;
};
