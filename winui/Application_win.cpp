#include "winui/Application_win.h"

#include <commctrl.h>

#include <exception>

#include "base/Exception.h"
#include "base/UserMessage.h"
#include "winui/Dpi.h"
#include "winui/ErrorText.h"
#include "winui/Form_win.h"

TApplication Application;

namespace {

std::string CurrentExceptionMessage() {
  try {
    throw;
  } catch (const Exception& error) {
    return error.Message();
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "Unknown error";
  }
}

// The form at the top of control's parents, when the top is a form.
TForm* FormOf(TControl* control) {
  while (control->Parent() != nullptr) control = control->Parent();
  return dynamic_cast<TForm*>(control);
}

}  // namespace

TApplication::TApplication() {
  SetWindowExceptionHandler([] { Application.HandleException(); });
}

void TApplication::Initialize() {
  if (initialized_) return;
  initialized_ = true;
  HDC screen = GetDC(nullptr);
  SetDisplayDpi(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  SetMessagePresenter([this](const std::string& text, MessageStyle style) {
    ShowMessageBox(text, MB_OK | (style == MessageStyle::Information ? MB_ICONINFORMATION : 0));
  });
}

void TApplication::Run() {
  terminated_ = false;
  if (mainForm_ != nullptr) {
    Guarded([this] { mainForm_->Show(); });
    MSG message{};
    // Until Terminate's quit message, which is taken here so that no later
    // modal loop of the thread finds it.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) Guarded([&] { Dispatch(message); });
  }
  terminated_ = true;
  DestroyMainForm();
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Put back for the loop it is meant to end; nothing after it is handled here.
      terminated_ = true;
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Guarded([&] { Dispatch(message); });
  }
}

void TApplication::DestroyMainForm() {
  TForm* form = mainForm_;
  mainForm_ = nullptr;
  delete form;
}

void TApplication::FormDestroyed(const TForm* form) {
  if (mainForm_ != form) return;
  // The main form went some other way than DestroyMainForm: the loop has
  // nothing left to run for.
  mainForm_ = nullptr;
  if (!terminated_) Terminate();
}

// Keyboard navigation that would otherwise need IsDialogMessage, which would
// also make Enter press a default button and Escape close the window: Tab
// and Shift+Tab move through the form's tab stops, nothing else is taken.
bool TApplication::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if ((GetKeyState(VK_CONTROL) & 0x8000) != 0 || (GetKeyState(VK_MENU) & 0x8000) != 0) return false;
  TWinControl* control = TWinControl::FromHandle(message.hwnd);
  TForm* form = control != nullptr ? FormOf(control) : nullptr;
  if (form == nullptr) return false;
  form->SelectNext(control == form ? nullptr : control, (GetKeyState(VK_SHIFT) & 0x8000) == 0);
  return true;
}

void TApplication::Dispatch(MSG& message) {
  if (PreTranslate(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

// Only the main form, never the active window: a box is destroyed with its
// owner, and the active window may be one that goes away when the box takes
// the activation from it (the splash does). Without a visible main form the
// box has no owner and holds the whole program's windows instead.
HWND TApplication::BoxOwner() const {
  return mainForm_ != nullptr && mainForm_->HandleAllocated() && IsWindowVisible(mainForm_->Handle())
             ? mainForm_->Handle()
             : nullptr;
}

int TApplication::ShowMessageBox(const std::string& text, UINT flags) const {
  HWND owner = BoxOwner();
  return MessageBoxA(owner, text.c_str(), title_.c_str(), flags | (owner == nullptr ? MB_TASKMODAL : 0));
}

void TApplication::HandleException() noexcept {
  try {
    ShowException(CurrentExceptionMessage());
  } catch (...) {
    // No memory for the text: nothing can be shown, the loop goes on.
  }
}

void TApplication::ShowException(const std::string& message) noexcept {
  try {
    ReleaseCapture();
    ShowMessageBox(ErrorBoxText(message), MB_OK | MB_ICONERROR);
  } catch (...) {
    // Nothing can be shown without memory for the text; the loop goes on.
  }
}
