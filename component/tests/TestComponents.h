// Small component classes for the description tests: a form with handlers
// registered by name, a panel that nests controls, and a control with one
// property of every kind plus an extra binary property.
#pragma once

#include <any>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "component/Component.h"

// Every component read records its Loaded() call here, in order.
inline std::vector<std::string>& LoadedLog() {
  static std::vector<std::string> log;
  return log;
}

class TTestForm : public TComponent {
 public:
  TTestForm() : TComponent(nullptr) {}
  std::string ClassName() const override { return "TTestForm"; }

  void AddHandler(const std::string& name, std::any handler) { handlers_[name] = std::move(handler); }
  const std::any* FindHandler(const std::string& name) const override {
    auto found = handlers_.find(name);
    return found == handlers_.end() ? nullptr : &found->second;
  }
  void Loaded() override {
    TComponent::Loaded();
    LoadedLog().push_back(Name());
  }

  std::string Caption;
  TNotifyEvent OnShow;

 protected:
  void DeclareProperties(PropertyTable& table) override {
    TComponent::DeclareProperties(table);
    table.String("Caption", [this] { return Caption; }, [this](const std::string& v) { Caption = v; });
    table.Event<TNotifyEvent>("OnShow", [this](const TNotifyEvent& h) { OnShow = h; });
  }

 private:
  std::map<std::string, std::any> handlers_;
};

// A component that sits inside another in the description.
class TTestNested : public TComponent {
 public:
  using TComponent::TComponent;
  void SetParentComponent(TComponent* parent) override { Parent = parent; }
  TComponent* ParentComponent() const override { return Parent; }
  void Loaded() override {
    TComponent::Loaded();
    LoadedLog().push_back(Name());
  }

  TComponent* Parent = nullptr;
  bool WasLoadingWhenSet = false;
};

class TTestPanel : public TTestNested {
 public:
  using TTestNested::TTestNested;
  std::string ClassName() const override { return "TTestPanel"; }

  std::int32_t Width = 0;

 protected:
  void DeclareProperties(PropertyTable& table) override {
    TTestNested::DeclareProperties(table);
    table.Integer("Width", [this] { return Width; }, [this](std::int32_t v) {
      WasLoadingWhenSet = Loading();
      Width = v;
    });
  }
};

enum class TestAlign : std::int32_t { None, Top, Bottom };
inline constexpr std::int32_t kFontBold = 1;
inline constexpr std::int32_t kFontItalic = 2;

class TTestButton : public TTestNested {
 public:
  using TTestNested::TTestNested;
  std::string ClassName() const override { return "TTestButton"; }

  bool Enabled = true;
  std::int32_t Left = 0;
  std::string Caption;
  TestAlign Align = TestAlign::None;
  std::int32_t FontStyle = 0;
  std::vector<std::string> Lines;
  TNotifyEvent OnClick;
  std::vector<std::uint8_t> Data;  // extra property, stored while not empty

 protected:
  void DeclareProperties(PropertyTable& table) override {
    TTestNested::DeclareProperties(table);
    table.Boolean("Enabled", [this] { return Enabled; }, [this](bool v) { Enabled = v; });
    table.Integer("Left", [this] { return Left; }, [this](std::int32_t v) { Left = v; });
    table.String("Caption", [this] { return Caption; }, [this](const std::string& v) { Caption = v; });
    table.Enum("Align", {"alNone", "alTop", "alBottom"}, [this] { return static_cast<std::int32_t>(Align); },
               [this](std::int32_t v) { Align = static_cast<TestAlign>(v); });
    table.Set("Font.Style", {"fsBold", "fsItalic"}, [this] { return FontStyle; },
              [this](std::int32_t v) { FontStyle = v; });
    table.Strings("Lines.Strings", [this] { return Lines; },
                  [this](const std::vector<std::string>& v) { Lines = v; });
    table.Event<TNotifyEvent>("OnClick", [this](const TNotifyEvent& h) { OnClick = h; });
  }
  void DefineProperties(PropertyTable& table) override {
    TTestNested::DefineProperties(table);
    table.Binary("Data", [this] { return Data; },
                 [this](std::span<const std::uint8_t> v) { Data.assign(v.begin(), v.end()); });
    table.StoredWhen([this] { return !Data.empty(); });
  }
};

inline void RegisterTestComponents() {
  RegisterComponentClass("TTestPanel", [](TComponent* owner) -> TComponent* { return new TTestPanel(owner); });
  RegisterComponentClass("TTestButton", [](TComponent* owner) -> TComponent* { return new TTestButton(owner); });
}
