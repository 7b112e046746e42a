// A captioned frame that holds other controls (a system BUTTON window in
// group-box style). Its children's notifications come to it and are passed
// on to the child objects like any container's.
#pragma once

#include "winui/Control_win.h"

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner) : TWinControl(owner) {}
  std::string ClassName() const override { return "TGroupBox"; }

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
