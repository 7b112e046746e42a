// Push button and check box: system BUTTON windows. Neither is ever a
// default button: Enter presses only the button that has the focus.
#pragma once

#include "winui/Control_win.h"

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  std::string ClassName() const override { return "TButton"; }
  void Click();

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CommandNotify(WORD code) override;

 private:
  TNotifyEvent onClick_;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  std::string ClassName() const override { return "TCheckBox"; }
  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void CommandNotify(WORD code) override;

 private:
  bool checked_ = false;
  TNotifyEvent onClick_;
};
