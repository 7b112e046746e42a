// Running the real setup program and working its windows from outside.
#include "setup/driver/SetupRun_win.h"

#include <algorithm>

#include "testsupport/TopLevelWindow_win.h"

namespace {

constexpr char kMainCaption[] = "TAV Quillbox One Step Install";

struct DialogSearch {
  DWORD processId;
  const std::vector<HWND>* seen;
  HWND found;
};

BOOL CALLBACK FindNewDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) && ClassNameOf(window) == "#32770" &&
      std::find(search->seen->begin(), search->seen->end(), window) == search->seen->end()) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ReadBoxPart(HWND child, LPARAM data) {
  auto* box = reinterpret_cast<SetupBox*>(data);
  const std::string kind = ClassNameOf(child);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
    box->Icon = box->Icon || (IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0);
  } else if (kind == "Static") {
    const std::string text = WindowTextOf(child);
    if (!text.empty()) box->Text += (box->Text.empty() ? "" : "\n") + text;
  } else if (kind == "Button" && IsWindowVisible(child)) {
    std::string caption = WindowTextOf(child);
    caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
    if ((style & 0x0F) == BS_DEFPUSHBUTTON) box->DefaultButton = caption;
    box->Buttons.push_back(caption);
  }
  return TRUE;
}

BOOL CALLBACK FindButton(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<std::pair<const char*, HWND>*>(data);
  std::string caption = WindowTextOf(child);
  caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
  if (ClassNameOf(child) == "Button" && caption == search->first) {
    search->second = child;
    return FALSE;
  }
  return TRUE;
}

void Key(HWND window, WPARAM key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

SetupRun::SetupRun(const std::string& program, const std::string& tempFolder) {
  // The child gets this process's environment with its own TMP and TEMP.
  const std::string oldTmp = [] {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", value, sizeof value);
    return std::string(value);
  }();
  const std::string oldTemp = [] {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA("TEMP", value, sizeof value);
    return std::string(value);
  }();
  SetEnvironmentVariableA("TMP", tempFolder.c_str());
  SetEnvironmentVariableA("TEMP", tempFolder.c_str());
  std::string commandLine = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &started)) {
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
    threadId_ = started.dwThreadId;
    CloseHandle(started.hThread);
  }
  SetEnvironmentVariableA("TMP", oldTmp.c_str());
  SetEnvironmentVariableA("TEMP", oldTemp.c_str());
}

SetupRun::~SetupRun() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
}

HWND SetupRun::WaitForMainWindow(DWORD timeoutMs) {
  main_ = WaitForTopLevelWindow({processId_, kMainCaption, nullptr}, timeoutMs, process_);
  return main_;
}

HWND SetupRun::Control(const char* className, const char* caption) const {
  // e_Dir sits inside the group box.
  if (std::string(className) == "Edit") {
    HWND group = FindWindowExA(main_, nullptr, "Button", "Destination Folder");
    return FindWindowExA(group != nullptr ? group : main_, nullptr, "Edit", nullptr);
  }
  return FindWindowExA(main_, nullptr, className, caption);
}

std::string SetupRun::Destination() const {
  // Another process's edit field answers WM_GETTEXT only; GetWindowText
  // would not ask it.
  char text[2048] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(Control("Edit", nullptr), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 10000, &ignored);
  return text;
}

void SetupRun::SetDestination(const std::string& text) const {
  SendMessageA(Control("Edit", nullptr), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetupRun::ClickInstall() const { PostMessageA(Control("Button", "Install"), BM_CLICK, 0, 0); }

SetupBox SetupRun::WaitForBox(DWORD timeoutMs) {
  SetupBox box;
  for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
    DialogSearch search{processId_, &seen_, nullptr};
    EnumWindows(FindNewDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      seen_.push_back(search.found);
      return ReadBox(search.found);
    }
    if (WaitForSingleObject(process_, 20) == WAIT_OBJECT_0) break;
  }
  return box;
}

SetupBox SetupRun::ReadBox(HWND window) {
  // Give the box the moment it takes to fill itself in.
  Sleep(200);
  SetupBox box;
  box.Window = window;
  box.Caption = WindowTextOf(window);
  EnumChildWindows(window, ReadBoxPart, reinterpret_cast<LPARAM>(&box));
  GetWindowRect(window, &box.Bounds);
  return box;
}

void SetupRun::PressEnter(const SetupBox& box) {
  // To the control that has the focus, as the keyboard would.
  GUITHREADINFO focus{};
  focus.cbSize = sizeof focus;
  const DWORD thread = GetWindowThreadProcessId(box.Window, nullptr);
  Key(GetGUIThreadInfo(thread, &focus) && focus.hwndFocus != nullptr ? focus.hwndFocus : box.Window, VK_RETURN);
}

void SetupRun::PressEscape(const SetupBox& box) { Key(box.Window, VK_ESCAPE); }

void SetupRun::Click(const SetupBox& box, const char* caption) {
  std::pair<const char*, HWND> search{caption, nullptr};
  EnumChildWindows(box.Window, FindButton, reinterpret_cast<LPARAM>(&search));
  if (search.second != nullptr) PostMessageA(search.second, BM_CLICK, 0, 0);
}

DWORD SetupRun::WaitForExit(DWORD timeoutMs) const {
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}
