// The real "unzdll.dll" under Wine: loaded with LoadLibraryA, its entry
// points found by their undecorated names, UnzDllExec driven with a
// parameter record as the setup program fills it and a callback of ours.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "unzdll/tests/TestArchive.h"
#include "zip/UNZDLL.h"

namespace {

namespace fs = std::filesystem;
using testarchive::Bytes;
using testarchive::Entry;
using testarchive::MakeArchive;
using testarchive::ReadText;

// Points a module's import of function from the library `from` at
// replacement, and returns what it pointed at (null when it has no such
// import).
void* PatchImport(HMODULE module, const char* from, const char* function, void* replacement) {
  auto* base = reinterpret_cast<std::uint8_t*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name != 0;
       ++library) {
    if (_stricmp(reinterpret_cast<const char*>(base + library->Name), from) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* named = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) != 0) continue;
      DWORD protection = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return previous;
    }
  }
  return nullptr;
}

using MoveFileExAFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
MoveFileExAFunction gSystemMoveFileExA = nullptr;

// Windows refuses to replace a read-only file with MoveFileExA; Wine does
// not. The library's own import gets the rule as Windows has it.
BOOL WINAPI MoveFileExAsWindowsDoes(LPCSTR from, LPCSTR to, DWORD flags) {
  const DWORD attributes = GetFileAttributesA(to);
  if ((flags & MOVEFILE_REPLACE_EXISTING) != 0 && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return gSystemMoveFileExA(from, to, flags);
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
    // Read-only files some tests leave would keep their folder.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(work_))
      SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
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

// The messages the callback saw, with their error codes.
std::vector<std::pair<std::int32_t, std::string>> Messages(const CallbackLog& log) {
  std::vector<std::pair<std::int32_t, std::string>> messages;
  for (const Report& r : log.reports)
    if (r.action >= kCallbackMessage) messages.emplace_back(r.error, r.text);
  return messages;
}

bool ReadOnly(const fs::path& path) {
  const DWORD attributes = GetFileAttributesA(path.string().c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

TEST_F(UnzDll, OverwritingReplacesAReadOnlyFile) {
  gSystemMoveFileExA = reinterpret_cast<MoveFileExAFunction>(
      PatchImport(library_, "KERNEL32.dll", "MoveFileExA", reinterpret_cast<void*>(MoveFileExAsWindowsDoes)));
  ASSERT_NE(gSystemMoveFileExA, nullptr);
  const fs::path kept = work_ / "dest" / "uninstall.exe";
  testarchive::WriteFile(kept, {'o', 'l', 'd'});
  SetFileAttributesA(kept.string().c_str(), FILE_ATTRIBUTE_READONLY);
  WriteArchive(MakeArchive(kProduct));
  EXPECT_EQ(ExtractIntoDest(), 3);
  EXPECT_TRUE(Messages(log_).empty()) << Messages(log_).front().second;
  EXPECT_EQ(ReadText(kept), kProduct[1].data);
  PatchImport(library_, "KERNEL32.dll", "MoveFileExA", reinterpret_cast<void*>(gSystemMoveFileExA));
}

TEST_F(UnzDll, AReadOnlyFileThatCannotBeReplacedStaysAsItWas) {
  const fs::path kept = work_ / "dest" / "uninstall.exe";
  testarchive::WriteFile(kept, {'o', 'l', 'd'});
  SetFileAttributesA(kept.string().c_str(), FILE_ATTRIBUTE_READONLY);
  // Open in another program: the replace fails.
  const HANDLE open = CreateFileA(kept.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  WriteArchive(MakeArchive(kProduct));
  EXPECT_EQ(ExtractIntoDest(), 2);
  CloseHandle(open);
  ASSERT_EQ(Messages(log_).size(), 1u);
  EXPECT_EQ(Messages(log_)[0].first, 5);
  EXPECT_TRUE(ReadOnly(kept));
  EXPECT_EQ(ReadText(kept), "old");
}

TEST_F(UnzDll, NamesOfOneFileInAnotherSpellingClashLikeAsciiCase) {
  // The short name the system gives a long one, found on a scratch file.
  const fs::path scratch = work_ / "longfilename.txt";
  testarchive::WriteFile(scratch, {'x'});
  char shortPath[MAX_PATH] = "";
  ASSERT_GT(GetShortPathNameA(scratch.string().c_str(), shortPath, MAX_PATH), 0u);
  fs::remove(scratch);
  const std::string shortName = fs::path(shortPath).filename().string();
  ASSERT_NE(shortName, "longfilename.txt");

  // "\xE9" and "\xC9" are e and E with an acute accent in the ANSI code page.
  WriteArchive(MakeArchive({{"caf\xE9.txt", "lower", false},
                            {"CAF\xC9.txt", "upper", false},
                            {"longfilename.txt", "long", true},
                            {shortName, "short", false}}));
  EXPECT_EQ(ExtractIntoDest(), 2);
  EXPECT_EQ(ReadText(work_ / "dest" / "caf\xE9.txt"), "lower");
  EXPECT_EQ(ReadText(work_ / "dest" / "longfilename.txt"), "long");
  const std::vector<std::pair<std::int32_t, std::string>> expected = {
      {7, "CAF\xC9.txt: not extracted, an earlier member has the same name"},
      {7, shortName + ": not extracted, an earlier member has the same name"}};
  EXPECT_EQ(Messages(log_), expected);
  EXPECT_EQ(std::distance(fs::directory_iterator(work_ / "dest"), fs::directory_iterator()), 2);
}

}  // namespace
