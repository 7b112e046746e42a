// File sources' files stored into a description at compile time.
#include "tools/descc/CarriedFiles.h"

#include <cstdint>
#include <vector>

#include "component/Description.h"
#include "filestore/FileSrc.h"

namespace {

constexpr char kFileSourceClass[] = "TFileSource";

std::string Resolved(const std::string& path, const std::string& folder) {
  if (path.empty() || path[0] == '/' || folder.empty()) return path;
  return folder.back() == '/' ? folder + path : folder + "/" + path;
}

// Loads one file source from its object, as a window would, but with
// FileName taken relative to folder, and gives back what it writes.
std::vector<DescriptionProperty> StoredProperties(const DescriptionObject& object, const std::string& folder,
                                                  CarriedFile& carried) {
  DescriptionObject alone;
  alone.ClassName = object.ClassName;
  alone.Name = object.Name;
  alone.Properties = object.Properties;
  for (DescriptionProperty& property : alone.Properties)
    if (property.Name == "FileName" && property.Value.Kind == DescriptionValueKind::String) {
      property.Value.Text = Resolved(property.Value.Text, folder);
      carried.path = property.Value.Text;
    }

  TFileSource source(nullptr);
  ReadComponentDescription(EncodeDescription(alone), source);
  const std::vector<std::uint8_t> written = WriteComponentDescription(source);
  std::vector<DescriptionProperty> properties = DecodeDescription(written).Properties;
  for (const DescriptionProperty& property : properties)
    if (property.Name == "FileData") carried.valueSize = property.Value.Binary().size();
  return properties;
}

}  // namespace

void StoreCarriedFiles(DescriptionObject& root, const std::string& folder,
                       const std::function<void(const CarriedFile& file)>& done) {
  if (root.ClassName == kFileSourceClass) {
    CarriedFile carried{root.Name, {}, 0};
    root.Properties = StoredProperties(root, folder, carried);
    done(carried);
  }
  for (DescriptionObject& child : root.Children) StoreCarriedFiles(child, folder, done);
}
