// zipdll.dll for real under Wine: loaded with LoadLibraryA, entered through
// GetProcAddress, making an archive that the tests' reader checks here and
// Python's zipfile and unzip -t check in the native step that follows
// (zipdll_dll_archive_readers).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ReadBack.h"
#include "ScratchFolder.h"
#include "testsupport/SampleData.h"
#include "zip/UNZDLL.h"
#include "zip/ZIPDLL.h"

namespace {

std::string BesideThisProgram(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

struct Reports {
  std::vector<std::int32_t> actions;
  std::vector<std::string> texts;
  bool stopAtFirstMember = false;
};

std::int32_t TAV_STDCALL Callback(UnzipCallbackRecord* record) {
  auto* reports = static_cast<Reports*>(record->Caller);
  reports->actions.push_back(record->ActionCode);
  reports->texts.emplace_back(record->Text);
  return reports->stopAtFirstMember && record->ActionCode == kCallbackFileStart ? kCallbackStop : kCallbackGoOn;
}

class ZipDll : public ::testing::Test {
 protected:
  void SetUp() override {
    library = LoadLibraryA(BesideThisProgram("zipdll.dll").c_str());
    ASSERT_NE(library, nullptr);
    exec = reinterpret_cast<ZipDllExecFunction>(reinterpret_cast<void*>(GetProcAddress(library, kZipDllExecName)));
    version = reinterpret_cast<GetZipDllVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, kGetZipDllVersionName)));
    ASSERT_NE(exec, nullptr);
    ASSERT_NE(version, nullptr);
  }
  void TearDown() override {
    if (library != nullptr) FreeLibrary(library);
  }

  // A record as a caller fills it: 256-byte buffers, flags -1 or 0.
  ZipParams Params(const std::string& archive, const std::vector<std::string>& specs) {
    ZipParams params{};
    params.Caller = &reports;
    params.Version = kZipInterfaceVersion;
    params.Callback = Callback;
    params.Level = 9;
    params.DirNamesFlag = kZipTrue;
    params.RecurseFlag = kZipTrue;
    params.ZipFilename = Buffer(archive);
    for (const auto& spec : specs) params.FileSpecs[params.SpecCount++] = Buffer(spec);
    return params;
  }
  char* Buffer(const std::string& text) {
    buffers.emplace_back(kZipTextBufferSize, '\0');
    std::memcpy(buffers.back().data(), text.c_str(), text.size() + 1);
    return buffers.back().data();
  }

  HMODULE library = nullptr;
  ZipDllExecFunction exec = nullptr;
  GetZipDllVersionFunction version = nullptr;
  Reports reports;
  std::vector<std::vector<char>> buffers;
};

TEST_F(ZipDll, ExportsBothEntryPointsUndecorated) { EXPECT_EQ(version(), kZipDllVersion); }

// Leaves dll_made.zip and its sources in the test's folder for the native
// readers that run next.
TEST_F(ZipDll, MakesAnArchiveOthersRead) {
  WriteBytes("dll_src/readme.txt", sample::Text(30000, 7));
  WriteBytes("dll_src/sub/data.bin", sample::RandomBytes(5000, 8));
  std::filesystem::remove("dll_made.zip");
  ZipParams params = Params("dll_made.zip", {"dll_src\\*"});
  EXPECT_EQ(exec(&params), 2);
  const auto archive = readback::Read("dll_made.zip");
  ASSERT_EQ(archive.members.size(), 2u);
  EXPECT_EQ(archive.members[0].name, "dll_src/readme.txt");
  EXPECT_EQ(archive.members[1].name, "dll_src/sub/data.bin");
  EXPECT_EQ(archive.members[0].data, readback::ReadFileBytes("dll_src/readme.txt"));
  EXPECT_EQ(archive.members[1].data, readback::ReadFileBytes("dll_src/sub/data.bin"));
  EXPECT_EQ(reports.actions.front(), kCallbackFileStart);
  EXPECT_EQ(reports.texts.front(), "dll_src/readme.txt");
  EXPECT_EQ(reports.actions.back(), kCallbackBatchEnd);
}

TEST_F(ZipDll, AStoppedCallLeavesTheArchiveAsItWas) {
  ScratchFolder folder;
  WriteText("a.txt", "a");
  ZipParams first = Params("s.zip", {"a.txt"});
  ASSERT_EQ(exec(&first), 1);
  const auto before = readback::ReadFileBytes("s.zip");
  WriteText("b.txt", "b");
  reports.stopAtFirstMember = true;
  ZipParams second = Params("s.zip", {"*.txt"});
  EXPECT_EQ(exec(&second), 0);
  EXPECT_EQ(readback::ReadFileBytes("s.zip"), before);
  EXPECT_TRUE(folder.NamesHolding("~zt").empty());
}

TEST_F(ZipDll, AFileHeldOpenByAnotherIsReportedAndLeftOut) {
  ScratchFolder folder;
  WriteText("held.txt", "held");
  WriteText("free.txt", "free");
  const HANDLE held = CreateFileA("held.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ZipParams params = Params("h.zip", {"*.txt"});
  EXPECT_EQ(exec(&params), 1);
  CloseHandle(held);
  EXPECT_EQ(readback::Read("h.zip").members.size(), 1u);
  bool reported = false;
  for (std::size_t i = 0; i < reports.actions.size(); ++i) {
    reported |= reports.actions[i] == kCallbackMessage && reports.texts[i].find("held.txt") != std::string::npos;
  }
  EXPECT_TRUE(reported);
}

TEST_F(ZipDll, ARecordOfAnotherVersionIsRefused) {
  ZipParams params = Params("never.zip", {"*"});
  params.Version = 141;
  EXPECT_EQ(exec(&params), 0);
  ASSERT_FALSE(reports.actions.empty());
  EXPECT_EQ(reports.actions.front(), kCallbackMessage);
  EXPECT_FALSE(std::filesystem::exists("never.zip"));
}

#ifdef TAV_HAVE_UNZDLL
// Both real libraries: the archive zipdll.dll makes, extracted by unzdll.dll.
TEST_F(ZipDll, ItsArchivesExtractWithOurUnzipLibrary) {
  ScratchFolder folder;
  WriteBytes("src/cards.txt", sample::Text(120000, 21));
  WriteBytes("src/deep/noise.bin", sample::RandomBytes(40000, 22));
  ZipParams zip = Params("rt.zip", {"src"});
  ASSERT_EQ(exec(&zip), 2);

  const HMODULE unzip = LoadLibraryA(BesideThisProgram("unzdll.dll").c_str());
  ASSERT_NE(unzip, nullptr);
  const auto unzipExec =
      reinterpret_cast<UnzDllExecFunction>(reinterpret_cast<void*>(GetProcAddress(unzip, kUnzDllExecName)));
  ASSERT_NE(unzipExec, nullptr);
  std::filesystem::create_directories("out");
  std::filesystem::current_path("out");
  UnzipParams params{};
  params.Version = kUnzipInterfaceVersion;
  params.FixedFlag40 = kUnzipTrue;
  params.Constant72 = kUnzipConstant72;
  params.OverwriteFlag = kUnzipTrue;
  params.DirNamesFlag = kUnzipTrue;
  params.Password = Buffer("");
  params.ZipFilename = Buffer("..\\rt.zip");
  EXPECT_EQ(unzipExec(&params), 2);
  std::filesystem::current_path(folder.Path());
  FreeLibrary(unzip);
  EXPECT_EQ(readback::ReadFileBytes("out/src/cards.txt"), readback::ReadFileBytes("src/cards.txt"));
  EXPECT_EQ(readback::ReadFileBytes("out/src/deep/noise.bin"), readback::ReadFileBytes("src/deep/noise.bin"));
}
#endif

}  // namespace
