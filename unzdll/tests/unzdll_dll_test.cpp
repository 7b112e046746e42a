// The real "unzdll.dll" under Wine: loaded with LoadLibraryA, its entry
// points found by their undecorated names, UnzDllExec driven with a
// parameter record as the setup program fills it and a callback of ours.
#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "zip/UNZDLL.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

Bytes RawDeflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

struct Entry {
  std::string name;
  std::string data;
  bool deflated;
};

// A plain archive (no descriptors, no comment), written the APPNOTE way.
Bytes MakeArchive(const std::vector<Entry>& entries) {
  Bytes out;
  Bytes directory;
  for (const Entry& e : entries) {
    const Bytes body = e.deflated ? RawDeflate(e.data) : Bytes(e.data.begin(), e.data.end());
    const auto crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()),
                                                      static_cast<uInt>(e.data.size())));
    const auto offset = static_cast<std::uint32_t>(out.size());
    const std::uint32_t method = e.deflated ? 8 : 0;
    Put32(out, 0x04034b50);
    for (const std::uint32_t v : {20u, 0u, method, 0u, 0x5021u}) Put16(out, v);
    for (const std::uint32_t v : {crc, static_cast<std::uint32_t>(body.size()), static_cast<std::uint32_t>(e.data.size())})
      Put32(out, v);
    Put16(out, static_cast<std::uint32_t>(e.name.size()));
    Put16(out, 0);
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(directory, 0x02014b50);
    for (const std::uint32_t v : {20u, 20u, 0u, method, 0u, 0x5021u}) Put16(directory, v);
    for (const std::uint32_t v : {crc, static_cast<std::uint32_t>(body.size()), static_cast<std::uint32_t>(e.data.size())})
      Put32(directory, v);
    for (const std::uint32_t v : {static_cast<std::uint32_t>(e.name.size()), 0u, 0u, 0u, 0u}) Put16(directory, v);
    Put32(directory, 0);
    Put32(directory, offset);
    directory.insert(directory.end(), e.name.begin(), e.name.end());
  }
  const auto directoryAt = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), directory.begin(), directory.end());
  Put32(out, 0x06054b50);
  for (const std::uint32_t v : {0u, 0u, static_cast<std::uint32_t>(entries.size()), static_cast<std::uint32_t>(entries.size())})
    Put16(out, v);
  Put32(out, static_cast<std::uint32_t>(directory.size()));
  Put32(out, directoryAt);
  Put16(out, 0);
  return out;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Report {
  std::int32_t action;
  std::int32_t error;
  std::int32_t size;
  std::string text;
};

// What the callback saw, and when it answers stop.
struct CallbackLog {
  std::vector<Report> reports;
  bool wrongCaller = false;
  std::size_t stopAt = 0;  // 0: never
};
CallbackLog* gLog = nullptr;

std::int32_t TAV_STDCALL RecordingCallback(UnzipCallbackRecord* record) {
  if (record->Caller != gLog) gLog->wrongCaller = true;
  gLog->reports.push_back({record->ActionCode, record->ErrorCode, record->FileSize, record->Text});
  return gLog->reports.size() == gLog->stopAt ? kCallbackStop : kCallbackGoOn;
}

class UnzDll : public ::testing::Test {
 protected:
  void SetUp() override {
    char exe[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
    const fs::path dll = fs::path(exe).parent_path() / "unzdll.dll";
    library_ = LoadLibraryA(dll.string().c_str());
    ASSERT_NE(library_, nullptr) << dll;
    exec_ = reinterpret_cast<UnzDllExecFunction>(reinterpret_cast<void*>(GetProcAddress(library_, kUnzDllExecName)));
    version_ = reinterpret_cast<GetUnzDllVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(library_, kGetUnzDllVersionName)));
    ASSERT_NE(exec_, nullptr);
    ASSERT_NE(version_, nullptr);

    work_ = fs::temp_directory_path() / ("unzdll_dll_test_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(work_);
    fs::create_directories(work_ / "dest");
    start_ = fs::current_path();
    gLog = &log_;
    params_ = std::make_unique<UnzipParams>();
    *params_ = UnzipParams{};
    // As the setup program fills it for its one extraction.
    params_->Caller = gLog;
    params_->Version = kUnzipInterfaceVersion;
    params_->Callback = RecordingCallback;
    params_->FixedFlag40 = kUnzipTrue;
    params_->OverwriteFlag = kUnzipTrue;
    params_->Constant72 = kUnzipConstant72;
    params_->Password = password_;
    params_->ZipFilename = archiveName_;
  }

  void TearDown() override {
    fs::current_path(start_);
    fs::remove_all(work_);
    if (library_ != nullptr) FreeLibrary(library_);
  }

  void WriteArchive(const Bytes& bytes) {
    const fs::path path = work_ / "archive.zip";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    std::strcpy(archiveName_, path.string().c_str());
  }

  // Makes the destination the current folder, as the component does.
  std::int32_t ExtractIntoDest() {
    EXPECT_TRUE(SetCurrentDirectoryA((work_ / "dest").string().c_str()));
    return exec_(params_.get());
  }

  HMODULE library_ = nullptr;
  UnzDllExecFunction exec_ = nullptr;
  GetUnzDllVersionFunction version_ = nullptr;
  fs::path work_;
  fs::path start_;
  CallbackLog log_;
  std::unique_ptr<UnzipParams> params_;
  char password_[kUnzipPasswordBufferSize] = "";
  char archiveName_[kUnzipPathBufferSize] = "";
};

const std::vector<Entry> kProduct = {
    {"TAV Quillbox.exe", std::string(300000, 'x') + "program", true},
    {"uninstall.exe", "uninstaller", false},
    {"docs/ReadMe.txt", "Read me.\r\n", true},
};

TEST_F(UnzDll, ReportsItsVersion) { EXPECT_EQ(version_(), kUnzipInterfaceVersion); }

TEST_F(UnzDll, ExtractsEveryMemberIntoTheCurrentFolder) {
  WriteArchive(MakeArchive(kProduct));
  EXPECT_EQ(ExtractIntoDest(), 3);
  EXPECT_EQ(ReadText(work_ / "dest" / "TAV Quillbox.exe"), kProduct[0].data);
  EXPECT_EQ(ReadText(work_ / "dest" / "uninstall.exe"), kProduct[1].data);
  // Without folder names the stored folder is not recreated.
  EXPECT_EQ(ReadText(work_ / "dest" / "ReadMe.txt"), kProduct[2].data);
  EXPECT_FALSE(fs::exists(work_ / "dest" / "docs"));
  // The library leaves the current folder as the caller set it.
  EXPECT_TRUE(fs::equivalent(fs::current_path(), work_ / "dest"));

  EXPECT_FALSE(log_.wrongCaller);
  std::vector<std::pair<std::string, std::int32_t>> starts;
  for (const Report& r : log_.reports)
    if (r.action == kCallbackFileStart) starts.emplace_back(r.text, r.size);
  const std::vector<std::pair<std::string, std::int32_t>> expected = {
      {"TAV Quillbox.exe", 300007}, {"uninstall.exe", 11}, {"docs/ReadMe.txt", 10}};
  EXPECT_EQ(starts, expected);
  ASSERT_FALSE(log_.reports.empty());
  EXPECT_EQ(log_.reports.back().action, kCallbackBatchEnd);
}

TEST_F(UnzDll, FolderNamesAndTestFlags) {
  WriteArchive(MakeArchive(kProduct));
  params_->TestFlag = kUnzipTrue;
  EXPECT_EQ(ExtractIntoDest(), 3);
  EXPECT_TRUE(fs::is_empty(work_ / "dest"));
  params_->TestFlag = kUnzipFalse;
  params_->DirNamesFlag = kUnzipTrue;
  EXPECT_EQ(ExtractIntoDest(), 3);
  EXPECT_EQ(ReadText(work_ / "dest" / "docs" / "ReadMe.txt"), kProduct[2].data);
}

TEST_F(UnzDll, SpecificationsSelectMembers) {
  WriteArchive(MakeArchive(kProduct));
  char spec[kUnzipSpecBufferSize] = "*.EXE";
  params_->FileSpecs[0] = spec;
  params_->SpecCount = 1;
  EXPECT_EQ(ExtractIntoDest(), 2);
  EXPECT_FALSE(fs::exists(work_ / "dest" / "ReadMe.txt"));
}

TEST_F(UnzDll, StopsWhenTheCallbackAnswersStop) {
  WriteArchive(MakeArchive(kProduct));
  log_.stopAt = 1;
  EXPECT_EQ(ExtractIntoDest(), 0);
  EXPECT_EQ(log_.reports.size(), 1u);
  EXPECT_TRUE(fs::is_empty(work_ / "dest"));
}

TEST_F(UnzDll, HostileNamesStayInside) {
  WriteArchive(MakeArchive({{"..\\evil.txt", "evil", false}, {"good.txt", "good", false}}));
  params_->DirNamesFlag = kUnzipTrue;
  EXPECT_EQ(ExtractIntoDest(), 1);
  EXPECT_FALSE(fs::exists(work_ / "evil.txt"));
  EXPECT_EQ(ReadText(work_ / "dest" / "good.txt"), "good");
  bool refused = false;
  for (const Report& r : log_.reports)
    refused |= r.action >= kCallbackMessage && r.error != 0 && r.text.find("'..'") != std::string::npos;
  EXPECT_TRUE(refused);
}

TEST_F(UnzDll, RefusesABrokenRecordWithAMessage) {
  params_->ZipFilename = nullptr;
  EXPECT_EQ(ExtractIntoDest(), 0);
  params_->ZipFilename = archiveName_;
  std::memset(archiveName_, 'a', sizeof archiveName_);  // no terminating NUL
  EXPECT_EQ(ExtractIntoDest(), 0);
  params_->SpecCount = -1;
  EXPECT_EQ(ExtractIntoDest(), 0);
  std::size_t messages = 0;
  for (const Report& r : log_.reports) messages += r.action >= kCallbackMessage ? 1 : 0;
  EXPECT_EQ(messages, 3u);
  EXPECT_EQ(exec_(nullptr), 0);
}

TEST_F(UnzDll, AMissingArchiveIsReported) {
  std::strcpy(archiveName_, (work_ / "missing.zip").string().c_str());
  EXPECT_EQ(ExtractIntoDest(), 0);
  ASSERT_FALSE(log_.reports.empty());
  EXPECT_NE(log_.reports.front().text.find("Cannot open archive"), std::string::npos);
}

}  // namespace
