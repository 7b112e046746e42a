// One real round trip under Wine: Extract through our own unzip library,
// written into the destination the way the install sequence writes it,
// against an archive made by Python's zipfile.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "zip/ZipMstr.h"
#include "zip/tests/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RealUnzipLibrary, ExtractsEveryMemberIntoTheDestination) {
  ziptest::CapturedMessages messages;
  const ziptest::TempFolder work("real");
  const ziptest::TempFolder destination("real-dest");
  fs::copy_file(ziptest::Fixture("three.zip"), work.Path() / "~fs42.zip");
  fs::copy_file(TAV_UNZDLL_FILE, destination.Path() / "unzdll.dll");
  // An older file of a member's name, to be overwritten without asking.
  std::ofstream(destination.Path() / "ReadMe.txt") << "old";

  TZipMaster zip(nullptr);
  Names started;
  Names reports;
  zip.SetOnProgress([&](TComponent*, ProgressType type, const std::string& name, std::int32_t) {
    if (type == PrgFileStart) started.push_back(name);
  });
  zip.SetOnMessage([&](TComponent*, std::int32_t, const std::string& text) { reports.push_back(text); });
  zip.SetExtrOptions({ExtrOverWrite});
  zip.SetDLLDirectory(destination.Path().string() + "\\");
  zip.SetZipFilename(work.File("~fs42.zip"));
  zip.SetExtrBaseDir(destination.Path().string());
  zip.Extract();

  EXPECT_TRUE(messages.texts.empty()) << messages.texts.front();
  EXPECT_EQ(zip.ResultCount(), 3);
  for (const char* name : {"ReadMe.txt", "stored.bin", "empty.txt"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(fs::exists(destination.Path() / name));
    EXPECT_EQ(Contents(destination.Path() / name), Contents(ziptest::Fixture(std::string("three/") + name)));
  }
  // Folder names are not recreated.
  EXPECT_FALSE(fs::exists(destination.Path() / "folder"));
  EXPECT_EQ(started.size(), 3u);
  EXPECT_FALSE(TZipMaster::UnzipLibraryLoaded());
  EXPECT_EQ(fs::current_path(), destination.Path());
}

}  // namespace
