#include <cstdint>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "component/Description.h"
#include "component/DescriptionTree.h"
#include "component/PropertyValueKind.h"

// Kept apart from the reader: the setup program only reads descriptions, and
// its link takes whole object files.
namespace {

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

std::vector<std::uint8_t> WriteComponentDescription(TComponent& root) {
  return EncodeDescription(DescribeComponent(root, root, 1));
}
