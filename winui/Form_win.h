// A top-level window built from its stored description. A window class of
// the program derives from TForm, names its handlers (Handler) and the
// components its code uses (Publish), then calls Initialize with its class
// name: the description, found by that name, creates and sets up every
// component and binds events to the handlers by name; then the window is
// created (hidden) and OnCreate runs.
//
// Closing the application's main form ends the message loop; closing any
// other form hides it. Forms owned by another form die with it.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "winui/Control_win.h"
#include "winui/Picture_win.h"

enum class TFormBorderStyle : std::int32_t { bsNone, bsSingle, bsSizeable, bsDialog };
enum TBorderIcon : std::int32_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum class TFormStyle : std::int32_t { fsNormal, fsStayOnTop };
enum class TPosition : std::int32_t { poDesigned, poDefault, poScreenCenter };

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  const std::any* FindHandler(const std::string& name) const override;

  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);

  // Makes the window visible and active; the first time, OnShow runs first
  // (an error in it goes to the top-level handler and the window is shown all
  // the same), then a centred form is centred.
  void SetVisible(bool visible) override;
  // Repaints the window synchronously, without the message loop.
  void Update();
  // The main form ends the program; any other form is hidden.
  void Close();
  // Destroys the form on a later turn of the message loop, so it may be
  // called from one of the form's own handlers. Nothing else makes a form
  // destroy itself.
  void Release();

  // Moves the focus to the next (or previous) tab stop after current.
  void SelectNext(TWinControl* current, bool forward);

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void BoundsChanged(const RECT& oldBounds) override;

  template <class Form>
  void Handler(const char* name, void (Form::*method)(TComponent*)) {
    AddHandler(name, TNotifyEvent([this, method](TComponent* sender) {
      (static_cast<Form*>(this)->*method)(sender);
    }));
  }
  // After Initialize, field names the component of that name and class.
  template <class Component>
  void Publish(const char* name, Component*& field) {
    AddPublished(name, &field, [](TComponent* found, void* target) {
      Component* typed = dynamic_cast<Component*>(found);
      *static_cast<Component**>(target) = typed;
      return typed != nullptr;
    });
  }
  void Initialize(const std::string& className);

 private:
  // A field Publish named: Bind stores the component found (or null when it
  // is not of the field's class) and says whether it fitted.
  struct PublishedField {
    const char* Name;
    void* Field;
    bool (*Bind)(TComponent* found, void* field);
  };

  void AddHandler(const char* name, std::any handler);
  void AddPublished(const char* name, void* field, bool (*bind)(TComponent* found, void* field));
  [[noreturn]] void MissingComponent(const std::string& name) const;
  void ApplyPosition();
  void Activated(bool active, HWND other);
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;

  std::vector<std::pair<std::string, std::any>> handlers_;
  std::vector<PublishedField> published_;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  std::int32_t borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TPosition position_ = TPosition::poDesigned;
  int clientWidth_ = -1;
  int clientHeight_ = -1;
  std::string activeControlName_;
  TWinControl* activeControl_ = nullptr;
  HWND lastFocus_ = nullptr;
  TPicture icon_;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool shown_ = false;
  bool releasing_ = false;  // set only by Release
  TNotifyEvent onCreate_;
  TNotifyEvent onShow_;
  TNotifyEvent onDeactivate_;
};
