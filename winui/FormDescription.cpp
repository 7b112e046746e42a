#include "winui/FormDescription.h"

#include <windows.h>

#include <utility>

#include "base/Exception.h"

namespace {

DescriptionSource& CurrentSource() {
  static DescriptionSource source;
  return source;
}

}  // namespace

std::vector<std::uint8_t> ResourceDescription(const std::string& name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
  const auto* bytes = loaded != nullptr ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
  if (bytes == nullptr) throw Exception(FormatText("Resource %s not found", name));
  return {bytes, bytes + SizeofResource(module, resource)};
}

std::vector<std::uint8_t> LoadFormDescription(const std::string& className) {
  return CurrentSource() ? CurrentSource()(className) : ResourceDescription(className);
}

DescriptionSource SetDescriptionSource(DescriptionSource source) {
  return std::exchange(CurrentSource(), std::move(source));
}
