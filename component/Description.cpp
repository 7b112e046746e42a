#include "component/Description.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "base/AsciiText.h"
#include "base/Exception.h"
#include "component/DescriptionTree.h"
#include "component/PropertyValueKind.h"

namespace {

const char* KindName(DescriptionValueKind kind) {
  switch (kind) {
    case DescriptionValueKind::Integer: return "an integer";
    case DescriptionValueKind::String: return "a string";
    case DescriptionValueKind::Ident: return "an identifier";
    case DescriptionValueKind::Boolean: return "True or False";
    case DescriptionValueKind::Binary: return "binary data";
    case DescriptionValueKind::Set: return "a set";
    case DescriptionValueKind::List: return "a list of strings";
  }
  return "a value";
}

}  // namespace

DescriptionValueKind ExpectedKind(PropertyKind kind) {
  switch (kind) {
    case PropertyKind::Boolean: return DescriptionValueKind::Boolean;
    case PropertyKind::Integer: return DescriptionValueKind::Integer;
    case PropertyKind::String: return DescriptionValueKind::String;
    case PropertyKind::Enum: return DescriptionValueKind::Ident;
    case PropertyKind::Set: return DescriptionValueKind::Set;
    case PropertyKind::Strings: return DescriptionValueKind::List;
    case PropertyKind::Binary: return DescriptionValueKind::Binary;
    case PropertyKind::Event: return DescriptionValueKind::Ident;
  }
  return DescriptionValueKind::Integer;
}

namespace {

std::string Label(const DescriptionObject& object) {
  return object.Name.empty() ? object.ClassName : object.Name;
}

// The message is put together here, once, from its parts: what, then
// detail, then after.
[[noreturn]] void FailAt(const std::string& where, const char* what, const std::string& detail = {},
                         const char* after = "") {
  throw Exception("Error reading window description: " + where + ": " + what + detail + after);
}

std::int32_t SymbolOrdinal(const PropertyInfo& info, const std::string& symbol, const std::string& where) {
  for (std::size_t i = 0; i < info.Symbols.size(); ++i)
    if (SameTextAscii(info.Symbols[i], symbol)) return static_cast<std::int32_t>(i);
  FailAt(where, "unknown value '", symbol, "'");
}

// Sets one property of component from its stored value; the value's kind has
// been checked against the property's.
void ApplyValue(const PropertyInfo& info, const DescriptionValue& value, TComponent& component, TComponent& root,
                const std::string& where) {
  switch (info.Kind) {
    case PropertyKind::Boolean:
      info.SetBool(value.Boolean);
      break;
    case PropertyKind::Integer:
      info.SetInt(value.Integer);
      break;
    case PropertyKind::String:
      info.SetString(value.Text);
      break;
    case PropertyKind::Enum:
      info.SetInt(SymbolOrdinal(info, value.Text, where));
      break;
    case PropertyKind::Set: {
      std::uint32_t bits = 0;
      for (const std::string& member : value.Items) {
        const std::int32_t ordinal = SymbolOrdinal(info, member, where);
        if (ordinal >= 32) FailAt(where, "set member '", member, "' beyond 32 members");
        bits |= 1u << ordinal;
      }
      info.SetInt(static_cast<std::int32_t>(bits));
      break;
    }
    case PropertyKind::Strings:
      info.SetLines(value.Items);
      break;
    case PropertyKind::Binary:
      info.SetBytes(value.Binary());
      break;
    case PropertyKind::Event: {
      const std::any* handler = root.FindHandler(value.Text);
      if (handler == nullptr) FailAt(where, "no handler named '", value.Text, "'");
      try {
        info.BindHandler(*handler);
      } catch (const Exception& error) {
        FailAt(where, "", error.Message());
      }
      component.SetBoundHandlerName(info.Name, value.Text);
      break;
    }
  }
}

void ApplyProperties(const DescriptionObject& object, TComponent& component, TComponent& root) {
  const PropertyTable table = component.Properties();
  for (const DescriptionProperty& property : object.Properties) {
    const std::string where = Label(object) + "." + property.Name;
    const PropertyInfo* info = table.Find(property.Name);
    if (info == nullptr) FailAt(where, "unknown property of ", object.ClassName);
    const DescriptionValueKind expected = ExpectedKind(info->Kind);
    if (property.Value.Kind != expected)
      FailAt(where, KindName(expected), " was expected, not ", KindName(property.Value.Kind));
    ApplyValue(*info, property.Value, component, root, where);
  }
}

class ComponentLoader {
 public:
  explicit ComponentLoader(TComponent& root) : root_(root) {}

  void LoadRoot(const DescriptionObject& object) {
    if (!SameTextAscii(object.ClassName, root_.ClassName()))
      FailAt(Label(object), "describes a ", object.ClassName + ", not a ", root_.ClassName().c_str());
    root_.SetName(object.Name);
    Load(object, root_);
    for (TComponent* component : read_) component->Loaded();
  }

 private:
  void Load(const DescriptionObject& object, TComponent& component) {
    component.BeginLoading();
    read_.push_back(&component);
    ApplyProperties(object, component, root_);
    for (const DescriptionObject& child : object.Children) Load(child, CreateChild(child, component));
  }

  TComponent& CreateChild(const DescriptionObject& object, TComponent& parent) {
    const ComponentFactory* factory = FindComponentClass(object.ClassName);
    if (factory == nullptr) FailAt(Label(object), "unknown class ", object.ClassName);
    if (!object.Name.empty() && root_.FindComponent(object.Name) != nullptr)
      FailAt(Label(object), "a component of that name already exists");
    TComponent* child = (*factory)(&root_);
    child->SetName(object.Name);
    child->SetParentComponent(&parent);
    return *child;
  }

  TComponent& root_;
  std::vector<TComponent*> read_;
};

}  // namespace

void ReadComponentDescription(std::span<const std::uint8_t> bytes, TComponent& root) {
  // The carried files are set from where they lie in bytes, not copied.
  const DescriptionObject description = DecodeDescription(bytes, BinaryValues::Viewed);
  ComponentLoader(root).LoadRoot(description);
}
