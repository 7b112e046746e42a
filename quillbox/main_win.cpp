// "TAV Quillbox.exe": a stand-in for the card-file application, so that what
// the installation registers (App Paths, the ".tav" association's open
// command and icon, the shortcuts) starts a real program. One window that
// names the version and the document it was asked to open.
#include <windows.h>

#include <optional>
#include <string>

#include "quillbox/WindowText.h"

namespace {

constexpr const char* kWindowClass = "TavQuillboxStandIn";
constexpr int kMargin = 12;

std::optional<OpenedDocument> DocumentFromCommandLine() {
  // The open command passes the document as one quoted word after the program.
  if (__argc < 2) return std::nullopt;
  const std::string path = __argv[1];
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return OpenedDocument{path, attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0};
}

void CreateTextControl(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const std::string text = QuillboxWindowText(DocumentFromCommandLine());
  HWND label = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kMargin,
                               kMargin, client.right - 2 * kMargin, client.bottom - 2 * kMargin, window, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateTextControl(window);
      return 0;
    case WM_SIZE:
      MoveWindow(GetWindow(window, GW_CHILD), kMargin, kMargin, LOWORD(lParam) - 2 * kMargin,
                 HIWORD(lParam) - 2 * kMargin, TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  // Icon 0 is the program's; icon 1 is the document's, for the association.
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassExA(&windowClass) == 0) return 1;

  HWND window = CreateWindowExA(0, kWindowClass, kQuillboxTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                560, 200, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
