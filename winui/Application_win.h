// The application object: the title, the main form (the first form created
// through CreateForm), the message loop, and the top-level error handler that
// every exception escaping an event handler reaches.
#pragma once

#include <windows.h>

#include <string>

class TForm;

class TApplication {
 public:
  // Makes the top-level handler the windows' handler of exceptions.
  TApplication();

  // Sets up the window layer before any window exists: the display's
  // resolution, the common controls, and the presenter of the plain and
  // information message boxes. Calling it again does nothing.
  void Initialize();

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  TForm* MainForm() const { return mainForm_; }
  // Creates a form without an owner; the first one becomes the main form.
  template <class Form>
  void CreateForm(Form*& reference) {
    reference = new Form(nullptr);
    if (mainForm_ != nullptr) return;
    mainForm_ = reference;
    terminated_ = false;
  }

  // Shows the main form, dispatches messages until Terminate, then destroys
  // the main form with everything it owns. An exception escaping the
  // handling of a message goes to the top-level handler and the loop goes on.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles the messages waiting now (tests and long actions). A quit
  // message ends it and is put back, for the loop it is meant to end.
  void ProcessMessages();
  // Destroys the main form (if any) and forgets it; the next CreateForm
  // makes a new main form.
  void DestroyMainForm();
  // A form tells the application that it is going away; when the main
  // form goes while the loop runs, the loop ends.
  void FormDestroyed(const TForm* form);

  // Called inside a catch block: shows the exception's message in a modal
  // error box captioned with the title, closed with "." where it lacks one.
  void HandleException() noexcept;
  void ShowException(const std::string& message) noexcept;

  // A modal message box captioned with the title, owned by the visible
  // main form, or task-modal without an owner.
  int ShowMessageBox(const std::string& text, UINT flags) const;

 private:
  bool PreTranslate(const MSG& message);
  void Dispatch(MSG& message);
  HWND BoxOwner() const;

  bool initialized_ = false;
  bool terminated_ = false;
  std::string title_;
  TForm* mainForm_ = nullptr;
};

extern TApplication Application;

// Runs action and hands any exception it raises to the top-level handler:
// the boundary between the program's handlers and the system.
template <class Action>
void Guarded(Action&& action) noexcept {
  try {
    action();
  } catch (...) {
    Application.HandleException();
  }
}
