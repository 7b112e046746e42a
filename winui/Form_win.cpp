#include "winui/Form_win.h"

#include "base/Exception.h"
#include "component/Description.h"
#include "winui/Application_win.h"
#include "winui/Dpi.h"
#include "winui/FormDescription.h"

namespace {

// Posted by Release: the form deletes itself when it arrives, if Release
// asked for it. Anyone may post this number to a window.
constexpr UINT kReleaseMessage = WM_APP + 0x100;

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) { TControl::SetVisible(false); }

TForm::~TForm() {
  Application.FormDestroyed(this);
  // The window goes first: it shows its icons until it is gone.
  DestroyHandle();
  if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

const std::any* TForm::FindHandler(const std::string& name) const {
  for (const auto& [handlerName, handler] : handlers_)
    if (handlerName == name) return &handler;
  return nullptr;
}

void TForm::AddPublished(const char* name, void* field, bool (*bind)(TComponent* found, void* field)) {
  published_.push_back({name, field, bind});
}

void TForm::AddHandler(const char* name, std::any handler) {
  for (auto& [handlerName, registered] : handlers_) {
    if (handlerName == name) {
      registered = std::move(handler);
      return;
    }
  }
  handlers_.emplace_back(name, std::move(handler));
}

void TForm::MissingComponent(const std::string& name) const {
  throw Exception(FormatText("The description of " + ClassName() + " lacks the component %s", name));
}

void TForm::Initialize(const std::string& className) {
  const StoredDescription description = LoadFormDescription(className);
  ReadComponentDescription(description.Bytes(), *this);
  for (const PublishedField& published : published_)
    if (!published.Bind(FindComponent(published.Name), published.Field)) MissingComponent(published.Name);
  if (!activeControlName_.empty()) {
    activeControl_ = dynamic_cast<TWinControl*>(FindComponent(activeControlName_));
    if (activeControl_ == nullptr) MissingComponent(activeControlName_);
  }
  HandleNeeded();
  ChildHandlesNeeded();
  if (onCreate_) onCreate_(this);
}

DWORD TForm::WindowStyle() const {
  const DWORD systemMenu = (borderIcons_ & biSystemMenu) ? WS_SYSMENU : 0;
  const DWORD boxes = ((borderIcons_ & biMinimize) ? WS_MINIMIZEBOX : 0) |
                      ((borderIcons_ & biMaximize) ? WS_MAXIMIZEBOX : 0);
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
      return WS_POPUP | WS_CLIPCHILDREN;
    case TFormBorderStyle::bsSingle:
      return WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN | systemMenu | (systemMenu ? boxes : 0);
    case TFormBorderStyle::bsDialog:
      return WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | systemMenu;
    case TFormBorderStyle::bsSizeable:
      break;
  }
  return WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN | systemMenu | (systemMenu ? boxes : 0);
}

DWORD TForm::WindowExStyle() const {
  DWORD style = formStyle_ == TFormStyle::fsStayOnTop ? WS_EX_TOPMOST : 0;
  // A window without a title bar has nothing to show on the task bar.
  if (borderStyle_ == TFormBorderStyle::bsNone) style |= WS_EX_TOOLWINDOW;
  if (borderStyle_ == TFormBorderStyle::bsDialog) style |= WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;
  return style;
}

void TForm::CreateParams(TCreateParams& params) {
  RegisterOwnClass("TavForm", CS_DBLCLKS);
  params.ClassName = "TavForm";
  params.OwnClass = true;
  params.Style = WindowStyle();
  params.ExStyle = WindowExStyle();
  params.Parent = nullptr;
  if (clientWidth_ >= 0 || clientHeight_ >= 0) {
    RECT outer{0, 0, clientWidth_ >= 0 ? clientWidth_ : Width(), clientHeight_ >= 0 ? clientHeight_ : Height()};
    AdjustWindowRectEx(&outer, params.Style, FALSE, params.ExStyle);
    TControl::SetBounds(Left(), Top(), outer.right - outer.left, outer.bottom - outer.top);
  }
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  if (position_ == TPosition::poDefault) params.X = params.Y = params.Width = params.Height = CW_USEDEFAULT;
}

void TForm::HandleCreated() {
  if (icon_.Empty()) return;
  // At the sizes the system shows window icons at this resolution.
  bigIcon_ = icon_.CreateIcon(GetSystemMetrics(SM_CXICON));
  smallIcon_ = icon_.CreateIcon(GetSystemMetrics(SM_CXSMICON));
  SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

int TForm::ClientWidth() const {
  if (!HandleAllocated()) return clientWidth_ >= 0 ? clientWidth_ : Width();
  RECT client{};
  GetClientRect(Handle(), &client);
  return client.right;
}

int TForm::ClientHeight() const {
  if (!HandleAllocated()) return clientHeight_ >= 0 ? clientHeight_ : Height();
  RECT client{};
  GetClientRect(Handle(), &client);
  return client.bottom;
}

void TForm::SetClientSize(int width, int height) {
  if (!HandleAllocated()) {
    clientWidth_ = width;
    clientHeight_ = height;
    return;
  }
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
  SetBounds(Left(), Top(), outer.right - outer.left, outer.bottom - outer.top);
}

void TForm::BoundsChanged(const RECT&) {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::ApplyPosition() {
  if (position_ != TPosition::poScreenCenter) return;
  SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2,
            Width(), Height());
}

void TForm::SetVisible(bool visible) {
  HandleNeeded();
  if (!visible) {
    TControl::SetVisible(false);
    ShowWindow(Handle(), SW_HIDE);
    return;
  }
  if (Visible() && IsWindowVisible(Handle())) return;
  if (onShow_) Guarded([this] { onShow_(this); });
  if (!shown_) ApplyPosition();
  shown_ = true;
  TControl::SetVisible(true);
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
}

void TForm::Update() {
  if (HandleAllocated()) UpdateWindow(Handle());
}

void TForm::Close() {
  if (Application.MainForm() == this) {
    Application.Terminate();
  } else {
    Hide();
  }
}

void TForm::Release() {
  HandleNeeded();
  releasing_ = true;
  PostMessageA(Handle(), kReleaseMessage, 0, 0);
}

void TForm::SelectNext(TWinControl* current, bool forward) {
  std::vector<TWinControl*> stops;
  CollectTabStops(stops);
  if (stops.empty()) return;
  std::size_t index = 0;
  while (index < stops.size() && stops[index] != current) ++index;
  if (index == stops.size()) {
    index = forward ? 0 : stops.size() - 1;
  } else {
    index = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
  }
  stops[index]->SetFocus();
}

void TForm::Activated(bool active, HWND other) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(Handle(), focus)) lastFocus_ = focus;
    // Only a window of this program taking the focus counts as leaving the
    // form; switching to another application does not.
    if (onDeactivate_ && other != nullptr && GetWindowThreadProcessId(other, nullptr) == GetCurrentThreadId())
      onDeactivate_(this);
    return;
  }
  if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)) {
    ::SetFocus(lastFocus_);
  } else if (activeControl_ != nullptr && activeControl_->CanFocus()) {
    activeControl_->SetFocus();
  } else {
    SelectNext(nullptr, true);
  }
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ACTIVATE:
      if (HIWORD(wParam) == 0) {
        Activated(LOWORD(wParam) != WA_INACTIVE, reinterpret_cast<HWND>(lParam));
        return 0;
      }
      break;
    case kReleaseMessage:
      if (!releasing_) break;  // posted by someone else
      delete this;
      return 0;
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TForm::DeclareProperties(PropertyTable& table) {
  TWinControl::DeclareProperties(table);
  DeclareCaption(table);
  table.Integer("ClientWidth", [this] { return ScaleTo96(ClientWidth()); },
                [this](std::int32_t v) {
                  if (HandleAllocated()) SetClientSize(ScaleFrom96(v), ClientHeight());
                  else clientWidth_ = ScaleFrom96(v);
                });
  table.Integer("ClientHeight", [this] { return ScaleTo96(ClientHeight()); },
                [this](std::int32_t v) {
                  if (HandleAllocated()) SetClientSize(ClientWidth(), ScaleFrom96(v));
                  else clientHeight_ = ScaleFrom96(v);
                });
  table.Enum("BorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog"},
             [this] { return static_cast<std::int32_t>(borderStyle_); },
             [this](std::int32_t v) { borderStyle_ = static_cast<TFormBorderStyle>(v); });
  table.Set("BorderIcons", {"biSystemMenu", "biMinimize", "biMaximize"}, [this] { return borderIcons_; },
            [this](std::int32_t v) { borderIcons_ = v; });
  table.Enum("FormStyle", {"fsNormal", "fsStayOnTop"}, [this] { return static_cast<std::int32_t>(formStyle_); },
             [this](std::int32_t v) { formStyle_ = static_cast<TFormStyle>(v); });
  table.Enum("Position", {"poDesigned", "poDefault", "poScreenCenter"},
             [this] { return static_cast<std::int32_t>(position_); },
             [this](std::int32_t v) { position_ = static_cast<TPosition>(v); });
  table.String("ActiveControl", [this] { return activeControlName_; },
               [this](const std::string& v) { activeControlName_ = v; });
  table.StoredWhen([this] { return !activeControlName_.empty(); });
  table.Binary("Icon.Data", [this] { return icon_.Data(); },
               [this](std::span<const std::uint8_t> v) { icon_.SetData(v); });
  table.StoredWhen([this] { return !icon_.Empty(); });
  table.Event<TNotifyEvent>("OnCreate", [this](const TNotifyEvent& h) { onCreate_ = h; });
  table.Event<TNotifyEvent>("OnShow", [this](const TNotifyEvent& h) { onShow_ = h; });
  table.Event<TNotifyEvent>("OnDeactivate", [this](const TNotifyEvent& h) { onDeactivate_ = h; });
}
