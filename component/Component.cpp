#include "component/Component.h"

#include <algorithm>
#include <map>

#include "base/Exception.h"

namespace {

bool SameText(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

std::map<std::string, ComponentFactory>& ClassRegistry() {
  static std::map<std::string, ComponentFactory> registry;
  return registry;
}

}  // namespace

PropertyInfo& PropertyTable::Add(std::string name, PropertyKind kind) {
  PropertyInfo& info = properties_.emplace_back();
  info.Name = std::move(name);
  info.Kind = kind;
  info.Published = published_;
  return info;
}

void PropertyTable::ThrowHandlerMismatch(const std::string& event) {
  throw Exception(FormatText("The handler bound to %s does not fit that event", event));
}

void PropertyTable::Boolean(std::string name, std::function<bool()> get,
                            std::function<void(bool)> set) {
  PropertyInfo& info = Add(std::move(name), PropertyKind::Boolean);
  info.GetBool = std::move(get);
  info.SetBool = std::move(set);
}

void PropertyTable::Integer(std::string name, std::function<std::int32_t()> get,
                            std::function<void(std::int32_t)> set) {
  PropertyInfo& info = Add(std::move(name), PropertyKind::Integer);
  info.GetInt = std::move(get);
  info.SetInt = std::move(set);
}

void PropertyTable::String(std::string name, std::function<std::string()> get,
                           std::function<void(const std::string&)> set) {
  PropertyInfo& info = Add(std::move(name), PropertyKind::String);
  info.GetString = std::move(get);
  info.SetString = std::move(set);
}

void PropertyTable::Enum(std::string name, std::vector<std::string> symbols,
                         std::function<std::int32_t()> get, std::function<void(std::int32_t)> set) {
  PropertyInfo& info = Add(std::move(name), PropertyKind::Enum);
  info.Symbols = std::move(symbols);
  info.GetInt = std::move(get);
  info.SetInt = std::move(set);
}

void PropertyTable::Set(std::string name, std::vector<std::string> symbols,
                        std::function<std::int32_t()> get, std::function<void(std::int32_t)> set) {
  PropertyInfo& info = Add(std::move(name), PropertyKind::Set);
  info.Symbols = std::move(symbols);
  info.GetInt = std::move(get);
  info.SetInt = std::move(set);
}

void PropertyTable::Strings(std::string name, std::function<std::vector<std::string>()> get,
                            std::function<void(const std::vector<std::string>&)> set) {
  PropertyInfo& info = Add(std::move(name), PropertyKind::Strings);
  info.GetLines = std::move(get);
  info.SetLines = std::move(set);
}

void PropertyTable::Binary(std::string name, std::function<std::vector<std::uint8_t>()> get,
                           std::function<void(std::span<const std::uint8_t>)> set) {
  PropertyInfo& info = Add(std::move(name), PropertyKind::Binary);
  info.GetBytes = std::move(get);
  info.SetBytes = std::move(set);
}

void PropertyTable::StoredWhen(std::function<bool()> stored) {
  properties_.back().IsStored = std::move(stored);
}

const PropertyInfo* PropertyTable::Find(const std::string& name) const {
  for (const PropertyInfo& info : properties_)
    if (SameText(info.Name, name)) return &info;
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
    if (SameText(component->Name(), name)) return component;
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
    if (SameText(boundEvent, event)) return &handler;
  return nullptr;
}

void TComponent::SetBoundHandlerName(const std::string& event, std::string handler) {
  for (auto& [boundEvent, bound] : boundHandlers_) {
    if (SameText(boundEvent, event)) {
      bound = std::move(handler);
      return;
    }
  }
  boundHandlers_.emplace_back(event, std::move(handler));
}

const std::any* TComponent::FindHandler(const std::string&) const { return nullptr; }

void RegisterComponentClass(const std::string& className, ComponentFactory factory) {
  ClassRegistry()[className] = std::move(factory);
}

const ComponentFactory* FindComponentClass(const std::string& className) {
  auto found = ClassRegistry().find(className);
  return found == ClassRegistry().end() ? nullptr : &found->second;
}
