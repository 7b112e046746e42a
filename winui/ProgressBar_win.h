// A progress bar (the system's msctls_progress32) with a range and a
// position; it never takes the focus.
#pragma once

#include "winui/Control_win.h"

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner) : TWinControl(owner) {}
  std::string ClassName() const override { return "TProgressBar"; }
  int Position() const { return position_; }
  // Shows the new position at once, also when no messages are processed.
  void SetPosition(int position);

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};
