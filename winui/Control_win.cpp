// Controls, windowed controls and the window procedure all the layer's windows share.
#include "winui/Control_win.h"

#include "base/Exception.h"
#include "winui/Dpi.h"

namespace {

const char kControlProperty[] = "TavControl";

TCursor g_cursorOverride = TCursor::crDefault;
void (*g_exceptionHandler)() = nullptr;

}  // namespace

HCURSOR CursorHandle(TCursor cursor) {
  return LoadCursorA(nullptr, cursor == TCursor::crHourGlass ? MAKEINTRESOURCEA(32514)   // IDC_WAIT
                                                             : MAKEINTRESOURCEA(32512));  // IDC_ARROW
}

TCursor CursorOverride() { return g_cursorOverride; }
void SetCursorOverride(TCursor cursor) { g_cursorOverride = cursor; }
void SetWindowExceptionHandler(void (*handler)()) { g_exceptionHandler = handler; }

// --- TControl ---

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() { SetParent(nullptr); }

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_ != nullptr) {
    Invalidate();
    std::erase(parent_->controls_, this);
  }
  parent_ = parent;
  if (parent_ != nullptr) parent_->controls_.push_back(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  auto* container = dynamic_cast<TWinControl*>(parent);
  if (container == nullptr)
    throw Exception(FormatText("%s cannot hold controls", parent != nullptr ? parent->Name() : "nil"));
  SetParent(container);
}

TComponent* TControl::ParentComponent() const { return parent_; }

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const RECT old = BoundsRect();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged(old);
}

void TControl::BoundsChanged(const RECT& oldBounds) {
  if (parent_ == nullptr || !parent_->HandleAllocated()) return;
  if (visible_) InvalidateRect(parent_->Handle(), &oldBounds, TRUE);
  Invalidate();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (parent_ != nullptr && parent_->HandleAllocated()) {
    const RECT bounds = BoundsRect();
    InvalidateRect(parent_->Handle(), &bounds, TRUE);
    if (align_ != TAlign::alNone) parent_->AlignControls();
  }
}

void TControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Invalidate();
}

void TControl::SetCaption(const std::string& caption) {
  caption_ = caption;
  CaptionChanged();
  Invalidate();
}

void TControl::SetAlign(TAlign align) {
  align_ = align;
  if (parent_ != nullptr && parent_->HandleAllocated()) parent_->AlignControls();
}

const TFont& TControl::Font() const {
  if (font_) return *font_;
  if (parent_ != nullptr) return parent_->Font();
  static const TFont defaultFont;
  return defaultFont;
}

TFont& TControl::OwnFont() {
  if (!font_) font_ = std::make_unique<TFont>(Font());
  return *font_;
}

void TControl::Invalidate() {
  if (parent_ == nullptr || !parent_->HandleAllocated() || !visible_) return;
  const RECT bounds = BoundsRect();
  InvalidateRect(parent_->Handle(), &bounds, TRUE);
}

void TControl::DeclareProperties(PropertyTable& table) {
  TComponent::DeclareProperties(table);
  table.Integer("Left", [this] { return ScaleTo96(left_); },
                [this](std::int32_t v) { SetLeft(ScaleFrom96(v)); });
  table.Integer("Top", [this] { return ScaleTo96(top_); },
                [this](std::int32_t v) { SetTop(ScaleFrom96(v)); });
  table.Integer("Width", [this] { return ScaleTo96(width_); },
                [this](std::int32_t v) { SetWidth(ScaleFrom96(v)); });
  table.Integer("Height", [this] { return ScaleTo96(height_); },
                [this](std::int32_t v) { SetHeight(ScaleFrom96(v)); });
  table.Enum("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"},
             [this] { return static_cast<std::int32_t>(align_); },
             [this](std::int32_t v) { SetAlign(static_cast<TAlign>(v)); });
  table.StoredWhen([this] { return align_ != TAlign::alNone; });
  table.Boolean("Visible", [this] { return visible_; }, [this](bool v) { SetVisible(v); });
  table.StoredWhen([this] { return !visible_; });
  table.Boolean("Enabled", [this] { return enabled_; }, [this](bool v) { SetEnabled(v); });
  table.StoredWhen([this] { return !enabled_; });
  table.Enum("Cursor", {"crDefault", "crArrow", "crHourGlass"},
             [this] { return static_cast<std::int32_t>(cursor_); },
             [this](std::int32_t v) { cursor_ = static_cast<TCursor>(v); });
  table.StoredWhen([this] { return cursor_ != TCursor::crDefault; });
  DeclareFontProperties(table);
}

template <class Change>
void TControl::ChangeFont(Change change) {
  TFont& font = OwnFont();
  change(font);
  font.Changed();
  FontChanged();
  Invalidate();
}

void TControl::DeclareFontProperties(PropertyTable& table) {
  table.String(
      "Font.Name", [this] { return Font().Name; },
      [this](const std::string& name) { ChangeFont([&name](TFont& font) { font.Name = name; }); });
  table.Integer(
      "Font.Height", [this] { return Font().Height; },
      [this](std::int32_t height) { ChangeFont([height](TFont& font) { font.Height = height; }); });
  table.Set(
      "Font.Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, [this] { return Font().Style; },
      [this](std::int32_t style) { ChangeFont([style](TFont& font) { font.Style = style; }); });
  table.Integer(
      "Font.Charset", [this] { return Font().Charset; },
      [this](std::int32_t charset) {
        if (charset < 0 || charset > 255) throw Exception("Font.Charset must lie in 0..255");
        ChangeFont([charset](TFont& font) { font.Charset = charset; });
      });
}

void TControl::DeclareCaption(PropertyTable& table) {
  table.String("Caption", [this] { return Caption(); },
               [this](const std::string& v) { SetCaption(v); });
}

// --- TWinControl ---

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children outlive this part of the object (the owner deletes them later):
  // they must not reach back into it.
  for (TControl* child : controls_) child->parent_ = nullptr;
  controls_.clear();
  DestroyHandle();
}

void TWinControl::DestroyHandle() {
  if (handle_ == nullptr) return;
  HWND window = handle_;
  Detach();
  DestroyWindow(window);
}

void TWinControl::RegisterOwnClass(const char* name, UINT style) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &windowClass)) return;
  windowClass.style = style;
  windowClass.lpfnWndProc = OwnClassProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = CursorHandle(TCursor::crArrow);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  if (RegisterClassExA(&windowClass) == 0)
    throw Exception(FormatText("Cannot register window class %s", name));
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return window == nullptr ? nullptr : static_cast<TWinControl*>(GetPropA(window, kControlProperty));
}

void TWinControl::Attach(HWND window) {
  handle_ = window;
  SetPropA(window, kControlProperty, this);
}

void TWinControl::Detach() {
  if (handle_ == nullptr) return;
  RemovePropA(handle_, kControlProperty);
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(handle_, GWLP_WNDPROC)) == SubclassProc)
    SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc_));
  handle_ = nullptr;
}

void TWinControl::HandleNeeded() {
  if (handle_ != nullptr) return;
  if (Parent() != nullptr) Parent()->HandleNeeded();
  if (handle_ == nullptr) CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | (Visible() ? WS_VISIBLE : 0) |
                 (Enabled() ? 0 : WS_DISABLED) | (tabStop_ ? WS_TABSTOP : 0);
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.Parent = Parent() != nullptr ? Parent()->Handle() : nullptr;
}

void TWinControl::CreateHandle() {
  TCreateParams params;
  CreateParams(params);
  HWND window = CreateWindowExA(params.ExStyle, params.ClassName, caption_.c_str(), params.Style,
                                params.X, params.Y, params.Width, params.Height, params.Parent,
                                nullptr, GetModuleHandleA(nullptr),
                                params.OwnClass ? this : nullptr);
  if (window == nullptr) throw Exception(FormatText("Cannot create the window of %s", Name()));
  if (!params.OwnClass) {
    Attach(window);
    classProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  }
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
  HandleCreated();
  ChildHandlesNeeded();
}

void TWinControl::ChildHandlesNeeded() {
  for (TControl* child : controls_) {
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) {
      windowed->HandleNeeded();
      windowed->ChildHandlesNeeded();
    }
  }
  AlignControls();
}

void* TWinControl::WindowHandle() {
  HandleNeeded();
  return handle_;
}

LRESULT CALLBACK TWinControl::OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    control->classProc_ = DefWindowProcA;
    control->Attach(window);
  }
  TWinControl* control = FromHandle(window);
  if (control == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return Dispatch(control, window, message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = FromHandle(window);
  if (control == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return Dispatch(control, window, message, wParam, lParam);
}

// The boundary of the layer: no exception passes into the system. The
// object may delete itself while handling a message, so it is not touched
// after WndProc returns.
LRESULT TWinControl::Dispatch(TWinControl* control, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
  if (message == WM_NCDESTROY) {
    WNDPROC classProc = control->classProc_;
    control->Detach();
    return CallWindowProcA(classProc, window, message, wParam, lParam);
  }
  try {
    return control->WndProc(message, wParam, lParam);
  } catch (...) {
    if (g_exceptionHandler != nullptr) g_exceptionHandler();
    return 0;
  }
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(classProc_, handle_, message, wParam, lParam);
}

bool TWinControl::HandleCursor(LPARAM lParam) {
  if (g_cursorOverride != TCursor::crDefault) {
    ::SetCursor(CursorHandle(g_cursorOverride));
    return true;
  }
  if (LOWORD(lParam) != HTCLIENT) return false;
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(handle_, &point);
  // The topmost graphic child under the mouse decides (drawn last, on top).
  for (auto child = controls_.rbegin(); child != controls_.rend(); ++child) {
    const RECT bounds = (*child)->BoundsRect();
    if ((*child)->IsWindowed() || !(*child)->Visible() || !PtInRect(&bounds, point)) continue;
    if ((*child)->Cursor() == TCursor::crDefault) break;
    ::SetCursor(CursorHandle((*child)->Cursor()));
    return true;
  }
  if (Cursor() == TCursor::crDefault) return false;
  ::SetCursor(CursorHandle(Cursor()));
  return true;
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (HandleCursor(lParam)) return TRUE;
      break;
    case WM_COMMAND:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)); child != nullptr && child != this) {
        child->CommandNotify(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)); child != nullptr && child != this) {
        if (HBRUSH brush = child->ControlColor(reinterpret_cast<HDC>(wParam))) return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
      if ((position->flags & SWP_NOSIZE) == 0 || (position->flags & SWP_NOMOVE) == 0) {
        RECT bounds{};
        GetWindowRect(handle_, &bounds);
        if (Parent() != nullptr && Parent()->HandleAllocated())
          MapWindowPoints(nullptr, Parent()->Handle(), reinterpret_cast<POINT*>(&bounds), 2);
        left_ = bounds.left;
        top_ = bounds.top;
        width_ = bounds.right - bounds.left;
        height_ = bounds.bottom - bounds.top;
      }
      break;
    }
    case WM_SIZE:
      AlignControls();
      break;
    case WM_PAINT:
      if (classProc_ == DefWindowProcA) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(handle_, &paint);
        PaintGraphicControls(dc, paint.rcPaint);
        EndPaint(handle_, &paint);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultHandler(message, wParam, lParam);
}

void TWinControl::PaintGraphicControls(HDC dc, const RECT& area) {
  for (TControl* child : controls_) {
    if (child->IsWindowed() || !child->Visible()) continue;
    const RECT bounds = child->BoundsRect();
    RECT overlap{};
    if (!IntersectRect(&overlap, &bounds, &area)) continue;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    child->Paint(dc);
    RestoreDC(dc, saved);
  }
}

void TWinControl::AlignControls() {
  if (handle_ == nullptr) return;
  RECT free{};
  GetClientRect(handle_, &free);
  const auto place = [&](TAlign align) {
    for (TControl* child : controls_) {
      if (child->Align() != align || !child->Visible()) continue;
      const int width = child->Width();
      const int height = child->Height();
      switch (align) {
        case TAlign::alTop:
          child->SetBounds(free.left, free.top, free.right - free.left, height);
          free.top += height;
          break;
        case TAlign::alBottom:
          child->SetBounds(free.left, free.bottom - height, free.right - free.left, height);
          free.bottom -= height;
          break;
        case TAlign::alLeft:
          child->SetBounds(free.left, free.top, width, free.bottom - free.top);
          free.left += width;
          break;
        case TAlign::alRight:
          child->SetBounds(free.right - width, free.top, width, free.bottom - free.top);
          free.right -= width;
          break;
        case TAlign::alClient:
          child->SetBounds(free.left, free.top, free.right - free.left, free.bottom - free.top);
          break;
        case TAlign::alNone:
          break;
      }
    }
  };
  for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
    place(align);
}

void TWinControl::BoundsChanged(const RECT&) {
  if (handle_ != nullptr) MoveWindow(handle_, Left(), Top(), Width(), Height(), TRUE);
}

void TWinControl::FontChanged() {
  if (handle_ != nullptr) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
}

void TWinControl::CaptionChanged() {
  if (handle_ != nullptr) SetWindowTextA(handle_, caption_.c_str());
}

std::string TWinControl::Caption() const {
  if (handle_ == nullptr) return caption_;
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(handle_)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(handle_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void TWinControl::Invalidate() {
  if (handle_ != nullptr) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::SetVisible(bool visible) {
  TControl::SetVisible(visible);
  if (handle_ != nullptr) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
  TControl::SetEnabled(enabled);
  if (handle_ != nullptr) EnableWindow(handle_, enabled ? TRUE : FALSE);
}

bool TWinControl::CanFocus() const {
  for (const TControl* control = this; control != nullptr; control = control->Parent())
    if (!control->Visible() || !control->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  HandleNeeded();
  ::SetFocus(handle_);
}

void TWinControl::CollectTabStops(std::vector<TWinControl*>& stops) const {
  std::vector<TWinControl*> children;
  for (TControl* child : controls_)
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) children.push_back(windowed);
  // By tab order, equal ones in creation order: an insertion sort, as a
  // window has a handful of children.
  for (std::size_t i = 1; i < children.size(); ++i) {
    TWinControl* moving = children[i];
    std::size_t at = i;
    for (; at > 0 && moving->tabOrder_ < children[at - 1]->tabOrder_; --at) children[at] = children[at - 1];
    children[at] = moving;
  }
  for (TWinControl* child : children) {
    if (!child->Visible() || !child->Enabled()) continue;
    if (child->tabStop_) stops.push_back(child);
    child->CollectTabStops(stops);
  }
}

void TWinControl::DeclareProperties(PropertyTable& table) {
  TControl::DeclareProperties(table);
  table.Integer("TabOrder", [this] { return tabOrder_; }, [this](std::int32_t v) { tabOrder_ = v; });
  table.StoredWhen([this] { return tabOrder_ >= 0; });
  table.Boolean("TabStop", [this] { return tabStop_; }, [this](bool v) { tabStop_ = v; });
}
