// Our zip library's archives extracted by our unzip library, through both
// interface records as the DLLs receive them: every file comes back as it
// was, with and without folder names, stored and deflated.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "testsupport/SampleData.h"
#include "unzdll/dll/UnzipCall.h"
#include "zip/ZIPDLL.h"
#include "zipdll/dll/ZipParamsCall.h"

namespace {

// Texts in 256-byte buffers that live as long as the test.
class Buffers {
 public:
  char* Text(const std::string& text, std::size_t size = kZipTextBufferSize) {
    buffers_.emplace_back(size, '\0');
    std::memcpy(buffers_.back().data(), text.c_str(), text.size() + 1);
    return buffers_.back().data();
  }

 private:
  std::vector<std::vector<char>> buffers_;
};

std::int32_t Zip(Buffers& buffers, const std::string& archive, const std::string& spec, int level, bool folderNames) {
  ZipParams params{};
  params.Version = kZipInterfaceVersion;
  params.Level = level;
  params.DirNamesFlag = folderNames ? kZipTrue : kZipFalse;
  params.RecurseFlag = kZipTrue;
  params.ZipFilename = buffers.Text(archive);
  params.FileSpecs[params.SpecCount++] = buffers.Text(spec);
  return ExecuteZipParams(&params);
}

// Extracts every member into the current folder.
std::int32_t Unzip(Buffers& buffers, const std::string& archive, bool folderNames, bool test = false) {
  UnzipParams params{};
  params.Version = kUnzipInterfaceVersion;
  params.FixedFlag40 = kUnzipTrue;
  params.Constant72 = kUnzipConstant72;
  params.OverwriteFlag = kUnzipTrue;
  params.DirNamesFlag = folderNames ? kUnzipTrue : kUnzipFalse;
  params.TestFlag = test ? kUnzipTrue : kUnzipFalse;
  params.Password = buffers.Text("", kUnzipPasswordBufferSize);
  params.ZipFilename = buffers.Text(archive, kUnzipPathBufferSize);
  return RunUnzipCall(&params);
}

class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes("src/text.txt", sample::Text(300000, 11));
    WriteBytes("src/noise.bin", sample::RandomBytes(100000, 12));
    WriteBytes("src/empty.dat", {});
    WriteBytes("src/sub/deep/one.bin", {0x5A});
  }
  void ExpectSameFile(const std::string& extracted, const std::string& original) {
    EXPECT_EQ(readback::ReadFileBytes(extracted), readback::ReadFileBytes(original)) << extracted;
  }

  ScratchFolder folder;
  Buffers buffers;
};

TEST_F(RoundTrip, WithFolderNamesAtSeveralLevels) {
  for (const int level : {0, 1, 6, 9}) {
    const std::string archive = "rt" + std::to_string(level) + ".zip";
    ASSERT_EQ(Zip(buffers, archive, "src", level, true), 4) << level;
    const std::string out = "out" + std::to_string(level);
    std::filesystem::create_directories(out);
    std::filesystem::current_path(out);
    EXPECT_EQ(Unzip(buffers, "../" + archive, true), 4) << level;
    std::filesystem::current_path(folder.Path());
    for (const char* name : {"src/text.txt", "src/noise.bin", "src/empty.dat", "src/sub/deep/one.bin"}) {
      ExpectSameFile(out + "/" + name, name);
    }
  }
}

TEST_F(RoundTrip, FlatArchivesAndTheTestFlag) {
  ASSERT_EQ(Zip(buffers, "flat.zip", "src", 9, false), 4);
  EXPECT_EQ(Unzip(buffers, "flat.zip", false, true), 4);  // tested, nothing written
  EXPECT_FALSE(std::filesystem::exists("text.txt"));
  std::filesystem::create_directories("flat");
  std::filesystem::current_path("flat");
  EXPECT_EQ(Unzip(buffers, "../flat.zip", false), 4);
  std::filesystem::current_path(folder.Path());
  ExpectSameFile("flat/text.txt", "src/text.txt");
  ExpectSameFile("flat/one.bin", "src/sub/deep/one.bin");
}

TEST_F(RoundTrip, AnArchiveAddedToStillExtractsWhole) {
  ASSERT_EQ(Zip(buffers, "grow.zip", "src/*.txt", 6, true), 1);
  ASSERT_EQ(Zip(buffers, "grow.zip", "src/*.bin", 6, true), 2);
  std::filesystem::create_directories("grow");
  std::filesystem::current_path("grow");
  EXPECT_EQ(Unzip(buffers, "../grow.zip", true), 3);
  std::filesystem::current_path(folder.Path());
  ExpectSameFile("grow/src/text.txt", "src/text.txt");
  ExpectSameFile("grow/src/noise.bin", "src/noise.bin");
  ExpectSameFile("grow/src/sub/deep/one.bin", "src/sub/deep/one.bin");
}

}  // namespace
