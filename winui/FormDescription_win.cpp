#include "winui/FormDescription.h"

#include <windows.h>

#include <utility>

#include "base/Exception.h"
#include "filestore/PackedBytes.h"

namespace {

DescriptionSource& CurrentSource() {
  static DescriptionSource source;
  return source;
}

}  // namespace

std::span<const std::uint8_t> ResourceBytes(const std::string& name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
  const auto* bytes = loaded != nullptr ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
  if (bytes == nullptr) throw Exception(FormatText("Resource %s not found", name));
  return {bytes, SizeofResource(module, resource)};
}

std::vector<std::uint8_t> ResourceDescription(const std::string& name) {
  const std::span<const std::uint8_t> bytes = ResourceBytes(name);
  return {bytes.begin(), bytes.end()};
}

StoredDescription LoadFormDescription(const std::string& className) {
  StoredDescription description;
  if (CurrentSource()) {
    description.Supplied = CurrentSource()(className);
  } else {
    description.Resource = ResourceBytes(className);
  }
  // A description that carries no files is stored packed; one that does is
  // read where it lies.
  if (IsPacked(description.Bytes())) {
    description.Supplied = Unpack(description.Bytes());
    description.Resource = {};
  }
  return description;
}

DescriptionSource SetDescriptionSource(DescriptionSource source) {
  return std::exchange(CurrentSource(), std::move(source));
}
