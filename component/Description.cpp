#include "component/Description.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "base/Exception.h"
#include "component/DescriptionTree.h"

namespace {

bool SameText(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

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

std::string Label(const DescriptionObject& object) {
  return object.Name.empty() ? object.ClassName : object.Name;
}

[[noreturn]] void FailAt(const std::string& where, const std::string& what) {
  throw Exception("Error reading window description: " + where + ": " + what);
}

std::int32_t SymbolOrdinal(const PropertyInfo& info, const std::string& symbol, const std::string& where) {
  for (std::size_t i = 0; i < info.Symbols.size(); ++i)
    if (SameText(info.Symbols[i], symbol)) return static_cast<std::int32_t>(i);
  FailAt(where, "unknown value '" + symbol + "'");
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
        if (ordinal >= 32) FailAt(where, "set member '" + member + "' beyond 32 members");
        bits |= 1u << ordinal;
      }
      info.SetInt(static_cast<std::int32_t>(bits));
      break;
    }
    case PropertyKind::Strings:
      info.SetLines(value.Items);
      break;
    case PropertyKind::Binary:
      info.SetBytes(value.Bytes);
      break;
    case PropertyKind::Event: {
      const std::any* handler = root.FindHandler(value.Text);
      if (handler == nullptr) FailAt(where, "no handler named '" + value.Text + "'");
      try {
        info.BindHandler(*handler);
      } catch (const Exception& error) {
        FailAt(where, error.Message());
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
    if (info == nullptr) FailAt(where, "unknown property of " + object.ClassName);
    const DescriptionValueKind expected = ExpectedKind(info->Kind);
    if (property.Value.Kind != expected)
      FailAt(where, std::string(KindName(expected)) + " was expected, not " + KindName(property.Value.Kind));
    ApplyValue(*info, property.Value, component, root, where);
  }
}

class ComponentLoader {
 public:
  explicit ComponentLoader(TComponent& root) : root_(root) {}

  void LoadRoot(const DescriptionObject& object) {
    if (!SameText(object.ClassName, root_.ClassName()))
      FailAt(Label(object), "describes a " + object.ClassName + ", not a " + root_.ClassName());
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
    if (factory == nullptr) FailAt(Label(object), "unknown class " + object.ClassName);
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

DescriptionValue StoredValue(const PropertyInfo& info, const TComponent& component) {
  DescriptionValue value;
  value.Kind = ExpectedKind(info.Kind);
  switch (info.Kind) {
    case PropertyKind::Boolean:
      value.Boolean = info.GetBool();
      break;
    case PropertyKind::Integer:
      value.Integer = info.GetInt();
      break;
    case PropertyKind::String:
      value.Text = info.GetString();
      break;
    case PropertyKind::Enum: {
      const std::int32_t ordinal = info.GetInt();
      if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= info.Symbols.size())
        throw Exception("Cannot write " + component.Name() + "." + info.Name + ": value out of range");
      value.Text = info.Symbols[static_cast<std::size_t>(ordinal)];
      break;
    }
    case PropertyKind::Set: {
      const auto bits = static_cast<std::uint32_t>(info.GetInt());
      for (std::size_t bit = 0; bit < 32; ++bit) {
        if ((bits & (1u << bit)) == 0) continue;
        if (bit >= info.Symbols.size())
          throw Exception("Cannot write " + component.Name() + "." + info.Name + ": set member out of range");
        value.Items.push_back(info.Symbols[bit]);
      }
      break;
    }
    case PropertyKind::Strings:
      value.Items = info.GetLines();
      break;
    case PropertyKind::Binary:
      value.Bytes = info.GetBytes();
      break;
    case PropertyKind::Event:
      value.Text = *component.BoundHandlerName(info.Name);
      break;
  }
  return value;
}

bool IsWorthStoring(const PropertyInfo& info, const TComponent& component) {
  if (info.IsStored && !info.IsStored()) return false;
  switch (info.Kind) {
    case PropertyKind::String: return !info.GetString().empty();
    case PropertyKind::Strings: return !info.GetLines().empty();
    case PropertyKind::Event: return component.BoundHandlerName(info.Name) != nullptr;
    default: return true;
  }
}

DescriptionObject DescribeComponent(TComponent& component, TComponent& root, int depth) {
  if (depth > kMaxDescriptionDepth)
    throw Exception("Cannot write " + component.Name() + ": components nested too deep");
  DescriptionObject object;
  object.ClassName = component.ClassName();
  object.Name = component.Name();
  const PropertyTable table = component.Properties();
  for (const PropertyInfo& info : table.All())
    if (IsWorthStoring(info, component)) object.Properties.push_back({info.Name, StoredValue(info, component), 0});
  for (std::size_t i = 0; i < root.ComponentCount(); ++i) {
    TComponent* owned = root.Components(i);
    TComponent* parent = owned->ParentComponent();
    const bool nestedHere = parent == &component || (parent == nullptr && &component == &root);
    if (nestedHere) object.Children.push_back(DescribeComponent(*owned, root, depth + 1));
  }
  return object;
}

}  // namespace

void ReadComponentDescription(std::span<const std::uint8_t> bytes, TComponent& root) {
  const DescriptionObject description = DecodeDescription(bytes);
  ComponentLoader(root).LoadRoot(description);
}

std::vector<std::uint8_t> WriteComponentDescription(TComponent& root) {
  return EncodeDescription(DescribeComponent(root, root, 1));
}
