#include "winui/GroupBox_win.h"

void TGroupBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "BUTTON";
  params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

LRESULT TGroupBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // A group box paints only its frame and caption; the form clips its
  // children, so nobody else fills the inside.
  if (message == WM_ERASEBKGND) {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TGroupBox::DeclareProperties(PropertyTable& table) {
  TWinControl::DeclareProperties(table);
  DeclareCaption(table);
}
