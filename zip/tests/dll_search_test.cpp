// RestrictDllSearch under Wine: a library planted beside the program or in
// the current folder is not loaded by bare name any more, while a library
// named by its full path still is.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "zip/DllSearch.h"
#include "zip/ZipMstr.h"
#include "zip/tests/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

fs::path ProgramPath() {
  char path[MAX_PATH];
  return fs::path(std::string(path, GetModuleFileNameA(nullptr, path, sizeof path)));
}

std::string ChildMode() {
  char mode[32];
  const DWORD length = GetEnvironmentVariableA("TAV_DLL_SEARCH_MODE", mode, sizeof mode);
  return length < sizeof mode ? std::string(mode, length) : std::string();
}

// Runs a copy of this program from a folder that also holds an
// "unzdll.dll"; the copy runs DllSearchChild in mode and gives its exit code.
DWORD RunChildBesideAPlantedLibrary(const std::string& mode) {
  const ziptest::TempFolder folder("child");
  fs::copy_file(ProgramPath(), folder.Path() / "child.exe");
  fs::copy_file(ProgramPath().parent_path() / "unzprobe_full.dll", folder.Path() / "unzdll.dll");
  SetEnvironmentVariableA("TAV_DLL_SEARCH_MODE", mode.c_str());
  std::string command = "\"";
  command.append(folder.File("child.exe")).append("\" --gtest_filter=DllSearchChild.*");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  DWORD exitCode = 9999;
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  SetEnvironmentVariableA("TAV_DLL_SEARCH_MODE", nullptr);
  return exitCode;
}

// Only as a child of the tests below.
TEST(DllSearchChild, LoadsTheLibraryBesideTheProgramOnlyWithoutRestriction) {
  const std::string mode = ChildMode();
  if (mode.empty()) GTEST_SKIP() << "runs as a child process only";
  if (mode == "restricted") {
    ASSERT_TRUE(RestrictDllSearch());
    EXPECT_EQ(LoadLibraryA("UNZDLL.DLL"), nullptr);
  } else {
    EXPECT_NE(LoadLibraryA("UNZDLL.DLL"), nullptr);
  }
}

TEST(DllSearch, ALibraryBesideTheProgramIsFoundOnlyWithoutRestriction) {
  if (!ChildMode().empty()) GTEST_SKIP();
  EXPECT_EQ(RunChildBesideAPlantedLibrary("default"), 0u);
  EXPECT_EQ(RunChildBesideAPlantedLibrary("restricted"), 0u);
}

// Restricts this whole process: kept last.
TEST(DllSearch, RestrictedSearchStillLoadsTheLibraryNamedInDLLDirectory) {
  if (!ChildMode().empty()) GTEST_SKIP();
  ziptest::CapturedMessages messages;
  const ziptest::TempFolder work("search");
  fs::copy_file(ziptest::Fixture("three.zip"), work.Path() / "archive.zip");
  fs::copy_file(ProgramPath().parent_path() / "unzprobe_full.dll", work.Path() / "unzdll.dll");
  SetCurrentDirectoryA(work.Path().string().c_str());
  SetEnvironmentVariableA("TAV_UNZIP_PROBE_RESULT", "3");
  SetEnvironmentVariableA("TAV_UNZIP_PROBE_LOG", work.File("probe.log").c_str());

  ASSERT_TRUE(RestrictDllSearch());
  EXPECT_EQ(LoadLibraryA("UNZDLL.DLL"), nullptr);

  TZipMaster zip(nullptr);
  zip.SetZipFilename(work.File("archive.zip"));
  zip.Extract();
  EXPECT_EQ(messages.texts, Names{"UNZDLL.DLL not found"});

  messages.texts.clear();
  SetCurrentDirectoryA(work.Path().string().c_str());
  zip.SetDLLDirectory(work.Path().string());
  zip.Extract();
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(zip.ResultCount(), 3);
}

}  // namespace
