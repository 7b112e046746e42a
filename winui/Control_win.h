// Controls: the visible parts of a window. A control is a component with a
// position and size inside its parent control's client area, a caption, a
// font, a cursor and a visibility. Graphic controls (labels, bevels, images)
// have no window of their own: their parent paints them, in the order of the
// description. Windowed controls (edits, buttons, forms) own a Win32 window,
// created once the whole description is read, and take part in the keyboard
// focus in their tab order.
//
// Positions and sizes are device pixels at run time; the description stores
// them at 96 dpi and the properties scale them when they are read or written.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "component/Component.h"
#include "winui/Font_win.h"

class TWinControl;

enum class TAlign : std::int32_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The cursors the descriptions and the program use: the control's class
// default, the arrow and the hourglass.
enum class TCursor : std::int32_t { crDefault, crArrow, crHourGlass };
HCURSOR CursorHandle(TCursor cursor);
// The cursor every window shows while it is not crDefault (TScreen's).
TCursor CursorOverride();
void SetCursorOverride(TCursor cursor);
// The handler, called inside the catch, of an exception raised while a window
// handles a message (the application's top-level one); without one, dropped.
void SetWindowExceptionHandler(void (*handler)());

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  // Places the control in parent (null removes it from its parent).
  void SetParent(TWinControl* parent);
  void SetParentComponent(TComponent* parent) override;
  TComponent* ParentComponent() const override;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  virtual void SetHeight(int height) { SetBounds(left_, top_, width_, height); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  virtual std::string Caption() const { return caption_; }
  virtual void SetCaption(const std::string& caption);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TCursor Cursor() const { return cursor_; }

  // The control's own font once a Font property was set, else its parent's.
  const TFont& Font() const;
  TFont& OwnFont();

  // Graphic controls draw themselves on their parent's device context.
  virtual void Paint(HDC) {}
  virtual bool IsWindowed() const { return false; }
  // Repaints the control's area (the whole window for windowed controls).
  virtual void Invalidate();

 protected:
  void DeclareProperties(PropertyTable& table) override;
  // Declares "Caption" for the kinds of control that show one.
  void DeclareCaption(PropertyTable& table);
  // Position or size changed; windowed controls move their window.
  virtual void BoundsChanged(const RECT& oldBounds);
  virtual void FontChanged() {}
  virtual void CaptionChanged() {}

  std::string caption_;

 private:
  friend class TWinControl;
  // The Font.* properties: set on the control's own font (made on first
  // use), read from the font in effect.
  void DeclareFontProperties(PropertyTable& table);
  template <class Change>
  void ChangeFont(Change change);

  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  TAlign align_ = TAlign::alNone;
  TCursor cursor_ = TCursor::crDefault;
  std::unique_ptr<TFont> font_;
};

// What CreateHandle passes to CreateWindowExA.
struct TCreateParams {
  const char* ClassName = nullptr;
  bool OwnClass = false;  // one of the layer's classes, not a system control
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND Parent = nullptr;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }
  HWND Handle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Creates the window (and its children's) when it does not exist yet; the
  // parent's window comes first.
  void HandleNeeded();
  // Makes sure every windowed control inside has its window (controls added
  // after this control's window was made have none yet).
  void ChildHandlesNeeded();
  // Components owned by a window ask for its handle (the window is created
  // when it does not exist yet).
  void* WindowHandle() override;

  bool CanFocus() const;
  void SetFocus();

  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  std::string Caption() const override;
  void Invalidate() override;

  // The object behind one of the layer's windows, or null for a foreign one.
  static TWinControl* FromHandle(HWND window);

  // The windowed children of this control in tab order, depth first:
  // containers that are not tab stops themselves contribute their children.
  void CollectTabStops(std::vector<TWinControl*>& stops) const;

 protected:
  void DeclareProperties(PropertyTable& table) override;
  virtual void CreateParams(TCreateParams& params);
  // Called once the window exists, before the children's windows are made.
  virtual void HandleCreated() {}
  // Every message of the window; the default handles cursors, reflected
  // notifications, painting of graphic children and alignment, and passes
  // the rest to the window class's own procedure.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
  // A WM_COMMAND notification the parent received from this control.
  virtual void CommandNotify(WORD) {}
  // WM_CTLCOLOR* sent to the parent for this control: a brush, or null for
  // the parent's default.
  virtual HBRUSH ControlColor(HDC) { return nullptr; }
  void BoundsChanged(const RECT& oldBounds) override;
  void FontChanged() override;
  void CaptionChanged() override;
  // Lays out aligned children in the client area.
  void AlignControls();
  void PaintGraphicControls(HDC dc, const RECT& area);
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }

  // Registers one of the layer's own window classes (once); its windows
  // are bound to their object when they are created.
  static void RegisterOwnClass(const char* name, UINT style);
  // Destroys the window (and its children's) without calling back into
  // this object: it is unbound first.
  void DestroyHandle();

 private:
  friend class TControl;
  static LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT Dispatch(TWinControl* control, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam);
  void Attach(HWND window);
  void Detach();
  void CreateHandle();
  bool HandleCursor(LPARAM lParam);

  HWND handle_ = nullptr;
  WNDPROC classProc_ = nullptr;
  std::vector<TControl*> controls_;
  int tabOrder_ = -1;
  bool tabStop_ = false;
};
