#include "component/Component.h"

#include <algorithm>

#include "base/AsciiText.h"
#include "base/Exception.h"

namespace {

// Few classes, looked up once per component read: a list serves.
std::vector<std::pair<std::string, ComponentFactory>>& ClassRegistry() {
  static std::vector<std::pair<std::string, ComponentFactory>> registry;
  return registry;
}

}  // namespace

PropertyInfo& PropertyTable::Add(const char* name, PropertyKind kind) {
  PropertyInfo& info = properties_.emplace_back();
  info.Name = name;
  info.Kind = kind;
  info.Published = published_;
  return info;
}

void PropertyTable::ThrowHandlerMismatch(const char* event) {
  throw Exception(FormatText("The handler bound to %s does not fit that event", event));
}

void PropertyTable::AddBoolean(const char* name, Accessor<bool()> get, Accessor<void(bool)> set) {
  PropertyInfo& info = Add(name, PropertyKind::Boolean);
  info.GetBool = get;
  info.SetBool = set;
}

void PropertyTable::AddInteger(const char* name, PropertyKind kind, SymbolList symbols,
                               Accessor<std::int32_t()> get, Accessor<void(std::int32_t)> set) {
  PropertyInfo& info = Add(name, kind);
  info.Symbols.assign(symbols.begin(), symbols.end());
  info.GetInt = get;
  info.SetInt = set;
}

void PropertyTable::AddString(const char* name, Accessor<std::string()> get,
                              Accessor<void(const std::string&)> set) {
  PropertyInfo& info = Add(name, PropertyKind::String);
  info.GetString = get;
  info.SetString = set;
}

void PropertyTable::AddStrings(const char* name, Accessor<std::vector<std::string>()> get,
                               Accessor<void(const std::vector<std::string>&)> set) {
  PropertyInfo& info = Add(name, PropertyKind::Strings);
  info.GetLines = get;
  info.SetLines = set;
}

void PropertyTable::AddBinary(const char* name, Accessor<std::vector<std::uint8_t>()> get,
                              Accessor<void(std::span<const std::uint8_t>)> set) {
  PropertyInfo& info = Add(name, PropertyKind::Binary);
  info.GetBytes = get;
  info.SetBytes = set;
}

const PropertyInfo* PropertyTable::Find(const std::string& name) const {
  for (const PropertyInfo& info : properties_)
    if (SameTextAscii(info.Name, name)) return &info;
  return nullptr;
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->InsertComponent(this);
}

TComponent::~TComponent() {
  // Newest first, as each owned component may still refer to older ones.
  while (!components_.empty()) delete components_.back();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* component) { components_.push_back(component); }

void TComponent::RemoveComponent(TComponent* component) {
  std::erase(components_, component);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* component : components_)
    if (SameTextAscii(component->Name(), name)) return component;
  return nullptr;
}

PropertyTable TComponent::Properties() {
  PropertyTable table;
  DeclareProperties(table);
  table.BeginExtra();
  DefineProperties(table);
  return table;
}

void TComponent::DeclareProperties(PropertyTable& table) {
  table.Integer("Tag", [this] { return tag_; }, [this](std::int32_t tag) { tag_ = tag; });
  table.StoredWhen([this] { return tag_ != 0; });
}

void TComponent::DefineProperties(PropertyTable&) {}

void TComponent::SetParentComponent(TComponent*) {}

const std::string* TComponent::BoundHandlerName(const std::string& event) const {
  for (const auto& [boundEvent, handler] : boundHandlers_)
    if (SameTextAscii(boundEvent, event)) return &handler;
  return nullptr;
}

void TComponent::SetBoundHandlerName(const std::string& event, std::string handler) {
  for (auto& [boundEvent, bound] : boundHandlers_) {
    if (SameTextAscii(boundEvent, event)) {
      bound = std::move(handler);
      return;
    }
  }
  boundHandlers_.emplace_back(event, std::move(handler));
}

const std::any* TComponent::FindHandler(const std::string&) const { return nullptr; }

void RegisterComponentClass(const std::string& className, ComponentFactory factory) {
  for (auto& [name, registered] : ClassRegistry()) {
    if (name == className) {
      registered = factory;
      return;
    }
  }
  ClassRegistry().emplace_back(className, factory);
}

const ComponentFactory* FindComponentClass(const std::string& className) {
  for (const auto& [name, factory] : ClassRegistry())
    if (name == className) return &factory;
  return nullptr;
}
