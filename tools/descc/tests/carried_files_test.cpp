// The description compiler's file sources end to end: text naming files,
// compiled with the files stored, read back by a window as the setup program
// reads it, each file restored byte for byte into its temporary file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "component/Description.h"
#include "component/DescriptionText.h"
#include "component/DescriptionTree.h"
#include "filestore/FileSrc.h"
#include "filestore/LZRW1KH.h"
#include "testsupport/SampleData.h"
#include "tools/descc/CarriedFiles.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class TCarrier : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TCarrier"; }
};

Bytes ReadFile(const std::string& path) {
  TFileStream file(path, FileMode::OpenRead);
  Bytes bytes(static_cast<std::size_t>(file.Size()));
  if (!bytes.empty()) file.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

TEST(CarriedFiles, StoredAtCompileTimeAndRestoredByteForByte) {
  InitializeLzrw1KH();
  RegisterFileSrcComponents();
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tav-carried-test";
  std::filesystem::create_directories(folder);
  struct File {
    const char* name;
    Bytes content;
    bool compress;
  };
  const std::vector<File> files = {
      {"empty.dll", {}, true},
      {"empty.zip", {}, false},
      {"two-blocks.dll", sample::Text(32784, 1), true},
      {"random.dll", sample::RandomBytes(100000, 2), true},
      {"archive.zip", sample::RandomBytes(70001, 3), false},
  };
  std::string text = "object Carrier: TCarrier\n";
  for (std::size_t i = 0; i < files.size(); ++i) {
    TFileStream out((folder / files[i].name).string(), FileMode::Create);
    if (!files[i].content.empty()) out.WriteBuffer(files[i].content.data(), files[i].content.size());
    text += "  object fs_" + std::to_string(i) + ": TFileSource\n    Compress = " +
            (files[i].compress ? "True" : "False") + "\n    FileName = '" + files[i].name +
            "'\n    Store = True\n  end\n";
  }
  text += "end\n";

  DescriptionObject root = DecodeDescription(DescriptionFromText(text, nullptr));
  std::vector<CarriedFile> stored;
  StoreCarriedFiles(root, folder.string(), [&](const CarriedFile& file) { stored.push_back(file); });
  const Bytes compiled = EncodeDescription(root);
  std::filesystem::remove_all(folder);
  ASSERT_EQ(stored.size(), files.size());
  EXPECT_EQ(stored[0].valueSize, 10u) << "an empty file compressed: the container's head alone";
  EXPECT_EQ(stored[4].valueSize, 4u + 70001u) << "a file stored plainly: its length, then its bytes";
  EXPECT_EQ(stored[4].path, (folder / "archive.zip").string());

  TCarrier window(nullptr);
  ReadComponentDescription(compiled, window);
  for (std::size_t i = 0; i < files.size(); ++i) {
    auto* source = dynamic_cast<TFileSource*>(window.FindComponent("fs_" + std::to_string(i)));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(source->FileName(), "") << files[i].name;
    EXPECT_EQ(ReadFile(source->FileName()), files[i].content) << files[i].name;
    EXPECT_EQ(source->Compress(), files[i].compress);
  }
}

}  // namespace
