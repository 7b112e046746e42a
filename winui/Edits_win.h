// Edit fields: the single-line TEdit and the multi-line TMemo, both system
// EDIT windows without a length limit.
#pragma once

#include <vector>

#include "winui/Control_win.h"

enum class TScrollStyle : std::int32_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// The background colours a description can name.
enum class TEditColor : std::int32_t { clWindow, clBtnFace, clInfoBk };

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner);
  std::string Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  HBRUSH ControlColor(HDC dc) override;

 private:
  bool readOnly_ = false;
  TEditColor color_ = TEditColor::clWindow;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
  std::string ClassName() const override { return "TEdit"; }

 protected:
  void DeclareProperties(PropertyTable& table) override;
};

// Lines of text shown exactly as stored, one stored line per line (with
// WordWrap off, long lines are reached through the horizontal scroll bar).
class TMemo : public TCustomEdit {
 public:
  explicit TMemo(TComponent* owner) : TCustomEdit(owner) {}
  std::string ClassName() const override { return "TMemo"; }
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void CreateParams(TCreateParams& params) override;

 private:
  TScrollStyle scrollBars_ = TScrollStyle::ssNone;
  bool wordWrap_ = true;
};
