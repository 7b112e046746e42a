// Controls without a window of their own, painted by their parent in the
// order of the description: label, bevel and image.
#pragma once

#include "winui/Control_win.h"
#include "winui/Picture_win.h"

// Text in the control's font. With AutoSize (the default) the label takes
// the size of its text, line breaks included.
class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner) : TControl(owner) {}
  std::string ClassName() const override { return "TLabel"; }
  void SetAutoSize(bool autoSize);
  void Paint(HDC dc) override;

 protected:
  void DeclareProperties(PropertyTable& table) override;
  void Loaded() override {
    TControl::Loaded();
    AdjustBounds();
  }
  void CaptionChanged() override { AdjustBounds(); }
  void FontChanged() override { AdjustBounds(); }

 private:
  void AdjustBounds();
  bool autoSize_ = true;
};

enum class TBevelShape : std::int32_t { bsBox, bsFrame, bsBottomLine };
enum class TBevelStyle : std::int32_t { bsLowered, bsRaised };

// A sunken or raised outline: a box, an etched frame, or only the etched
// bottom edge (a separator line). The inside is never filled.
class TBevel : public TControl {
 public:
  explicit TBevel(TComponent* owner) : TControl(owner) {}
  std::string ClassName() const override { return "TBevel"; }
  void Paint(HDC dc) override;

 protected:
  void DeclareProperties(PropertyTable& table) override;

 private:
  TBevelShape shape_ = TBevelShape::bsBox;
  TBevelStyle style_ = TBevelStyle::bsLowered;
};

// An icon or bitmap drawn from the control's top-left corner, scaled with
// the layout (a picture's pixels are 96-dpi pixels, as stored positions
// are). With AutoSize the control takes the size of its picture so drawn.
class TImage : public TControl {
 public:
  explicit TImage(TComponent* owner) : TControl(owner) {}
  std::string ClassName() const override { return "TImage"; }
  void Paint(HDC dc) override;

 protected:
  void DeclareProperties(PropertyTable& table) override;

 private:
  void AdjustBounds();
  int DrawnWidth() const;
  int DrawnHeight() const;
  TPicture picture_;
  bool autoSize_ = false;
};
