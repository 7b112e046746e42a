// The file source: its properties and states, the temporary file names, and
// "FileData" both ways, with empty files, damaged and short values, and a
// temporary folder that is odd or missing. Runs natively and under Wine,
// against the real file system, in a scratch temporary folder of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/ByteViewStream.h"
#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/MemoryStream.h"
#include "component/Description.h"
#include "filestore/FileSrc.h"
#include "filestore/LZRW1KH.h"
#include "filestore/TempFileName.h"
#include "testsupport/SampleData.h"
#include "testsupport/ExceptionMessage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path) {
  TFileStream file(path, FileMode::OpenRead);
  Bytes bytes(static_cast<std::size_t>(file.Size()));
  if (!bytes.empty()) file.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  TFileStream file(path, FileMode::Create);
  if (!bytes.empty()) file.WriteBuffer(bytes.data(), bytes.size());
}

// What the system is told is the folder for temporary files.
void SetTemporaryFolder(const std::string& folder) {
#ifdef _WIN32
  _putenv_s("TMP", folder.c_str());
  _putenv_s("TEMP", folder.c_str());
#else
  setenv("TMPDIR", folder.c_str(), 1);
#endif
}

// A root that file sources can be read into from a description.
class TCarrier : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TCarrier"; }
};

class FileSource : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeLzrw1KH();
    RegisterFileSrcComponents();
    original_ = TemporaryFolder();
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = Trimmed(original_) + PathSeparator() + "tav-fs-" + name;
    CreateFolderAt(folder_);
    SetTemporaryFolder(folder_);
  }
  void TearDown() override {
    SetTemporaryFolder(original_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  static std::string Trimmed(std::string folder) {
    if (!folder.empty() && folder.back() == PathSeparator()) folder.pop_back();
    return folder;
  }
  // How many "~fs" files the folder holds.
  int TemporaryFiles() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
      if (entry.path().filename().string().rfind("~fs", 0) == 0) ++count;
    return count;
  }
  std::string InFolder(const std::string& name) const { return folder_ + PathSeparator() + name; }
  std::string TempName(int seconds, int counter, const std::string& extension) const {
    return InFolder("~fs" + std::to_string(seconds) + std::to_string(counter) + extension);
  }

  // The "FileData" value that a source holding bytes writes.
  Bytes StoredValue(const Bytes& content, bool compress) const {
    const std::string path = InFolder("stored.bin");
    WriteFile(path, content);
    TFileSource source(nullptr);
    source.SetFileName(path);
    source.SetCompress(compress);
    TMemoryStream value;
    source.WriteFileData(value);
    return value.Bytes();
  }

  std::string original_;
  std::string folder_;
};

TEST_F(FileSource, PropertiesInStoredOrderAndCompressImpliesStore) {
  TFileSource source(nullptr);
  const PropertyTable table = source.Properties();
  std::vector<std::string> names;
  for (const PropertyInfo& info : table.All()) names.push_back(info.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Tag", "Compress", "DisplayLabel", "Extension", "FileName", "Store",
                                             "FileData"}));
  EXPECT_FALSE(table.Find("FileData")->Published);

  source.SetCompress(true);
  EXPECT_TRUE(source.Store());
  source.SetCompress(false);
  EXPECT_TRUE(source.Store()) << "clearing Compress leaves Store alone";
  source.SetStore(false);
  EXPECT_FALSE(source.Compress());
}

TEST_F(FileSource, FileNameSetsTheExtensionAndReadsEmptyWithoutAFile) {
  TFileSource source(nullptr);
  EXPECT_EQ(source.FileName(), "") << "empty state";
  const std::string archive = InFolder("app.zip");
  WriteFile(archive, {1, 2, 3});
  source.SetFileName(archive);
  EXPECT_EQ(source.Extension(), ".zip");
  EXPECT_EQ(source.FileName(), archive);
  EXPECT_FALSE(source.HoldsTemporaryFile());
  source.SetFileName(folder_ + PathSeparator() + "README");
  EXPECT_EQ(source.Extension(), "");
  EXPECT_EQ(source.FileName(), "") << "no file there";
  source.SetFileName("C:\\odd.dir\\name");
  EXPECT_EQ(source.Extension(), "") << "a dot before the last separator is no extension";
  source.SetFileName("C:name.tav");
  EXPECT_EQ(source.Extension(), ".tav");
  source.SetFileName(folder_);
  EXPECT_EQ(source.FileName(), "") << "a folder is no file";
}

TEST_F(FileSource, TemporaryNamesCountUpPerSecondAndExtension) {
  const std::string dll0 = TempName(42, 0, ".dll");
  const std::string dll1 = TempName(42, 1, ".dll");
  const std::string zip0 = TempName(42, 0, ".zip");
  EXPECT_EQ(TakeTemporaryFileName(folder_, 42, ".dll"), dll0);
  EXPECT_EQ(TakeTemporaryFileName(folder_ + PathSeparator(), 42, ".dll"), dll1)
      << "one trailing separator is dropped";
  EXPECT_EQ(TakeTemporaryFileName(folder_, 42, ".zip"), zip0);
  EXPECT_TRUE(FileExistsAt(dll0) && FileExistsAt(dll1) && FileExistsAt(zip0)) << "names are taken by creating them";
  EXPECT_TRUE(ReadFile(dll1).empty());
  EXPECT_EQ(TakeTemporaryFileName(folder_, 7, ""), TempName(7, 0, "")) << "no extension";

  // A folder of the next name does not count as taken: its creation just
  // fails, and whoever opens it next finds out.
  const std::string blocked = folder_ + PathSeparator() + "~fs422.dll";
  ASSERT_TRUE(CreateFolderAt(blocked));
  EXPECT_EQ(TakeTemporaryFileName(folder_, 42, ".dll"), blocked);
  EXPECT_FALSE(FileExistsAt(blocked));
}

TEST_F(FileSource, EmptyFilesRoundTripBothWays) {
  EXPECT_EQ(StoredValue({}, false), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(StoredValue({}, true), (Bytes{'P', 'M', 'C', 'S', '1', '0', 0, 0, 0, 0}));
  for (const bool compress : {false, true}) {
    TFileSource source(nullptr);
    source.SetCompress(compress);
    source.SetExtension(".dll");
    const Bytes value = StoredValue({}, compress);
    TByteViewStream stream(value);
    source.ReadFileData(stream);
    ASSERT_NE(source.FileName(), "");
    EXPECT_TRUE(ReadFile(source.FileName()).empty()) << compress;
  }
}

TEST_F(FileSource, RestoresIntoATemporaryFileItDeletesAtTheEnd) {
  const Bytes content = sample::Text(100000, 3);
  std::string restored;
  {
    TFileSource source(nullptr);
    source.SetCompress(true);
    source.SetExtension(".dll");
    const Bytes value = StoredValue(content, true);
    TByteViewStream stream(value);
    source.ReadFileData(stream);
    restored = source.FileName();
    EXPECT_TRUE(source.HoldsTemporaryFile());
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(ReadFile(restored), content);
    // Restored in the folder the system names, its one separator dropped.
    const std::string prefix = folder_ + PathSeparator() + "~fs";
    EXPECT_EQ(restored.substr(0, prefix.size()), prefix) << restored;
    EXPECT_EQ(restored.substr(restored.size() - 4), ".dll");
  }
  EXPECT_FALSE(FileExistsAt(restored)) << "destroyed with its component";
}

TEST_F(FileSource, StateMovesDeleteOnlyTheComponentsOwnFile) {
  const std::string external = InFolder("mine.zip");
  WriteFile(external, {7});
  const Bytes value = StoredValue({1, 2, 3}, false);
  TFileSource source(nullptr);

  TByteViewStream first(value);
  source.ReadFileData(first);
  TByteViewStream second(value);
  source.ReadFileData(second);
  EXPECT_EQ(TemporaryFiles(), 1) << "a second load replaces the first temporary file";
  const std::string temporary = source.FileName();
  EXPECT_TRUE(FileExistsAt(temporary));

  source.SetFileName(external);  // Temporary -> External
  EXPECT_FALSE(FileExistsAt(temporary)) << "deleted before the new path is taken";
  EXPECT_FALSE(source.HoldsTemporaryFile());
  TByteViewStream third(value);
  source.ReadFileData(third);  // External -> Temporary
  EXPECT_TRUE(FileExistsAt(external)) << "an external file is never deleted";
  const std::string last = source.FileName();
  RemoveFileAt(last);  // someone else removes it
  EXPECT_EQ(source.FileName(), "");
}  // and destruction tries the deletion without complaint

TEST_F(FileSource, DamagedAndShortValuesFailAndLeaveTheFileToBeDeleted) {
  struct Case {
    const char* what;
    bool compress;
    Bytes value;
    const char* message;
    std::size_t restored;  // bytes left in the temporary file
  };
  const Bytes packed = StoredValue(sample::RandomBytes(40000, 9), true);
  const Case cases[] = {
      {"no container", true, {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0}, "Wrong file type", 0},
      {"container cut in its second block", true, Bytes(packed.begin(), packed.end() - 100), "Stream read error",
       32783},
      {"length field cut off", false, {5, 0, 0}, "Stream read error", 0},
      {"fewer bytes than the length", false, {9, 0, 0, 0, 'a', 'b', 'c'}, "Stream read error", 0},
      {"negative length", false, {0xFF, 0xFF, 0xFF, 0xFF}, "Stream read error", 0},
  };
  for (const Case& c : cases) {
    std::string path;
    {
      TFileSource source(nullptr);
      source.SetCompress(c.compress);
      TByteViewStream stream(c.value);
      EXPECT_EQ(MessageOf([&] { source.ReadFileData(stream); }), c.message) << c.what;
      path = source.FileName();
      ASSERT_NE(path, "") << c.what << ": the path is set before any byte is written";
      EXPECT_EQ(ReadFile(path).size(), c.restored) << c.what;
    }
    EXPECT_FALSE(FileExistsAt(path)) << c.what;
  }
}

TEST_F(FileSource, StoringAMissingFileNamesTheComponentAndThePath) {
  TFileSource source(nullptr);
  source.SetName("fs_zip");
  source.SetFileName(folder_ + PathSeparator() + "a.zip");
  TMemoryStream value;
  EXPECT_EQ(MessageOf([&] { source.WriteFileData(value); }),
            "fs_zip cannot store file: " + folder_ + PathSeparator() + "a.zip (file is missing)");
}

TEST_F(FileSource, ATemporaryFolderTooLongOrThatCannotHoldTheFileIsAClearError) {
  TFileSource source(nullptr);
  const Bytes value = StoredValue({1}, false);
  const std::string tooLong = folder_ + PathSeparator() + std::string(260, 'x');
  SetTemporaryFolder(tooLong);
  TByteViewStream first(value);
  // Some systems refuse such a folder themselves (Wine reports none).
  const std::string refused = MessageOf([&] { source.ReadFileData(first); });
  EXPECT_TRUE(refused == "The folder for temporary files is longer than 260 characters: " + tooLong ||
              refused == "The system names no folder for temporary files")
      << refused;
  EXPECT_EQ(source.FileName(), "");

  const std::string missing = folder_ + PathSeparator() + "gone";
  SetTemporaryFolder(missing);
  TByteViewStream second(value);
  const std::string message = MessageOf([&] { source.ReadFileData(second); });
  EXPECT_EQ(message.rfind("Cannot open file " + missing + PathSeparator() + "~fs", 0), 0u) << message;
}

TEST_F(FileSource, ADescriptionCarriesTheFileAndNotItsPath) {
  TFileSource probe(nullptr);
  if (!probe.Properties().Find("FileData")->GetBytes) GTEST_SKIP() << "built to read descriptions only";
  const Bytes content = sample::RandomBytes(70000, 4);
  const std::string path = InFolder("zipdll.dll");
  WriteFile(path, content);
  std::vector<std::uint8_t> description;
  {
    TCarrier form(nullptr);
    auto* source = new TFileSource(&form);
    source->SetName("fs_zipdll");
    source->SetFileName(path);
    source->SetCompress(true);
    description = WriteComponentDescription(form);
  }
  RemoveFileAt(path);
  TCarrier copy(nullptr);
  ReadComponentDescription(description, copy);
  auto* restored = dynamic_cast<TFileSource*>(copy.FindComponent("fs_zipdll"));
  ASSERT_NE(restored, nullptr);
  EXPECT_TRUE(restored->Compress() && restored->Store());
  EXPECT_EQ(restored->Extension(), ".dll");
  EXPECT_EQ(ReadFile(restored->FileName()), content);
  const std::string text(description.begin(), description.end());
  EXPECT_EQ(text.find("zipdll.dll"), std::string::npos) << "the path is not stored";
}

}  // namespace
