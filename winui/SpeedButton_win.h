// A flat tool button: a glyph left of its caption, no border until the mouse
// is over it, a disabled look from the glyph's second image. It never takes
// the keyboard focus, so clicking it leaves the focus where it was.
#pragma once

#include "winui/Control_win.h"
#include "winui/Picture_win.h"

class TSpeedButton : public TWinControl {
 public:
  explicit TSpeedButton(TComponent* owner) : TWinControl(owner) {}
  std::string ClassName() const override { return "TSpeedButton"; }
  void Click();
  bool Hot() const { return hot_; }

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void PaintButton(HDC dc);
  void SetHot(bool hot);

  TPicture glyph_;
  int numGlyphs_ = 1;
  bool flat_ = false;
  bool hot_ = false;
  bool pressed_ = false;
  TNotifyEvent onClick_;
};
