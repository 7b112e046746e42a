// The real setup program run as a user runs it: started as its own process
// (with a folder for temporary files of its own), its main window filled in
// and "Install" clicked, and each message box it shows read and answered.
// The install stories under Wine and scripts/run.sh work through this.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A message box as the user sees it.
struct SetupBox {
  HWND Window = nullptr;
  std::string Caption;
  std::string Text;
  // Whether it shows an icon. Which one cannot be told from another process
  // (icon handles are the process's own); the window layer's tests look.
  bool Icon = false;
  std::vector<std::string> Buttons;  // their captions, "&" removed
  std::string DefaultButton;
  RECT Bounds{};
};

class SetupRun {
 public:
  // Starts program; tempFolder (ending in "\") becomes its TMP and TEMP.
  SetupRun(const std::string& program, const std::string& tempFolder);
  // Ends the process if it still runs.
  ~SetupRun();
  SetupRun(const SetupRun&) = delete;
  SetupRun& operator=(const SetupRun&) = delete;

  bool Started() const { return process_ != nullptr; }
  HANDLE Process() const { return process_; }
  DWORD ThreadId() const { return threadId_; }

  // The main window once it is shown; null if it did not show in time.
  HWND WaitForMainWindow(DWORD timeoutMs = 60000);
  // A control of the main window by its class and caption (caption null:
  // the first of the class).
  HWND Control(const char* className, const char* caption) const;
  std::string Destination() const;
  void SetDestination(const std::string& text) const;
  // Clicks "Install" and returns at once: the program is busy from then on.
  void ClickInstall() const;

  // The next message box of the program that was not seen before; its Window
  // is null when none came in time or the program ended.
  SetupBox WaitForBox(DWORD timeoutMs = 60000);
  // Reads a box on the screen, any program's.
  static SetupBox ReadBox(HWND window);
  // Answers a box as with the keyboard: Enter (the default button) or Escape.
  static void PressEnter(const SetupBox& box);
  static void PressEscape(const SetupBox& box);
  // Clicks the button with that caption.
  static void Click(const SetupBox& box, const char* caption);

  // The exit code once the program ended; STILL_ACTIVE if it did not in time.
  DWORD WaitForExit(DWORD timeoutMs = 60000) const;

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  DWORD threadId_ = 0;
  HWND main_ = nullptr;
  std::vector<HWND> seen_;
};
