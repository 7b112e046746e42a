// setup_driver PROGRAM DESTINATION HANDSHAKE_FOLDER: runs the setup program,
// installs into DESTINATION ("-": the one it offers) with the default
// options, and stops at each step a user sees (the main window, the
// progress bar, the closing box) so that scripts/run.sh can photograph the
// screen: it writes STEP.ready into the handshake folder and goes on once
// STEP.done appears there. While the progress bar is photographed the setup
// program's thread is held, since it never waits for anyone. It says what
// it sees on its output, then what was installed (files, registry values,
// shortcuts), and ends with the setup program's exit code.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <optional>
#include <string>

#include "setup/driver/SetupRun_win.h"
#include "sysint/InstallLayout.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "sysint/tests/TestShellLink_win.h"

namespace {

Win32System windows;

std::string gHandshake;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Lets the photographer take step, and waits until it has.
void Pause(const char* step) {
  const std::string ready = gHandshake + "\\" + step + ".ready";
  const std::string done = gHandshake + "\\" + step + ".done";
  HANDLE file = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  for (int i = 0; i < 3000 && !Exists(done); ++i) Sleep(10);
}

std::string TemporaryFolder() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return folder;
}

void ShowValue(RegistryRoot root, const char* rootName, const std::string& key, const char* name) {
  const std::string value = ReadRegString(windows, root, key, name);
  std::printf("  %s\\%s  %s = %s\n", rootName, key.c_str(), *name != '\0' ? name : "(default)",
              value.empty() ? "(none)" : value.c_str());
}

void ShowShortcut(const char* where, const std::string& link) {
  const std::optional<LinkFields> fields = ReadLink(link);
  if (!fields) {
    std::printf("  %s: none (%s)\n", where, link.c_str());
    return;
  }
  std::printf("  %s: %s\n    target %s\n    arguments \"%s\"\n    working folder %s\n    description %s\n",
              where, link.c_str(), fields->Target.c_str(), fields->Arguments.c_str(), fields->WorkingFolder.c_str(),
              fields->Description.c_str());
}

// What the installation into destination left: its files, the registry
// values and the shortcuts.
void ShowInstallation(const std::string& destination) {
  std::printf("files in %s:\n", destination.c_str());
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((destination + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        std::printf("  %10lu  %s\n", static_cast<unsigned long>(entry.nFileSizeLow), entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  std::printf("registry values:\n");
  ShowValue(RegistryRoot::LocalMachine, "HKLM", kAppPathsExeKey, "");
  ShowValue(RegistryRoot::LocalMachine, "HKLM", kAppPathsExeKey, "Path");
  ShowValue(RegistryRoot::LocalMachine, "HKLM", kUninstallKey, "DisplayName");
  ShowValue(RegistryRoot::LocalMachine, "HKLM", kUninstallKey, "UninstallString");
  ShowValue(RegistryRoot::LocalMachine, "HKLM", kProductKey, "InstalledVersion");
  ShowValue(RegistryRoot::CurrentUser, "HKCU", kProductKey, "InstalledVersion");
  ShowValue(RegistryRoot::ClassesRoot, "HKCR", kDocumentExtension, "");
  ShowValue(RegistryRoot::ClassesRoot, "HKCR", kDocumentType, "");
  ShowValue(RegistryRoot::ClassesRoot, "HKCR", std::string(kDocumentType) + "\\Shell\\Open\\command", "");
  ShowValue(RegistryRoot::ClassesRoot, "HKCR", std::string(kDocumentType) + "\\DefaultIcon", "");
  std::printf("shortcuts:\n");
  ShowShortcut("Start Menu", ShortcutFile(GetShellFolder(windows, "Programs")));
  ShowShortcut("Desktop", ShortcutFile(GetShellFolder(windows, "Desktop")));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: setup_driver PROGRAM DESTINATION HANDSHAKE_FOLDER\n", stderr);
    return 2;
  }
  gHandshake = argv[3];
  SetupRun run(argv[1], TemporaryFolder());
  HWND main = run.Started() ? run.WaitForMainWindow() : nullptr;
  if (main == nullptr) {
    std::fputs("setup_driver: the main window did not show\n", stderr);
    return 3;
  }
  std::string destination = run.Destination();
  std::printf("main window: destination offered \"%s\"\n", destination.c_str());
  if (std::string(argv[2]) != "-") {
    destination = argv[2];
    run.SetDestination(destination);
  }
  std::printf("installing into \"%s\" with the options as offered\n", destination.c_str());
  std::fflush(stdout);
  Sleep(300);
  Pause("main");

  HWND bar = FindWindowExA(main, nullptr, "msctls_progress32", nullptr);
  run.ClickInstall();
  for (int i = 0; i < 20000 && !IsWindowVisible(bar); ++i) Sleep(1);
  // Give the window the moment it takes to paint the grown strip, then hold it.
  Sleep(15);
  HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, run.ThreadId());
  if (thread != nullptr) SuspendThread(thread);
  std::printf("progress bar: %s\n", IsWindowVisible(bar) ? "shown" : "not seen");
  std::fflush(stdout);
  Pause("progress");
  if (thread != nullptr) {
    ResumeThread(thread);
    CloseHandle(thread);
  }

  for (SetupBox box = run.WaitForBox(); box.Window != nullptr; box = run.WaitForBox()) {
    std::printf("box \"%s\": %s\n", box.Caption.c_str(), box.Text.c_str());
    std::fflush(stdout);
    Pause("box");
    SetupRun::PressEnter(box);
  }
  const DWORD code = run.WaitForExit();
  std::printf("setup program ended with exit code %lu\n", static_cast<unsigned long>(code));
  if (SUCCEEDED(CoInitialize(nullptr))) {
    ShowInstallation(destination);
    CoUninitialize();
  }
  return static_cast<int>(code);
}
