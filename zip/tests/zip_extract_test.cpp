// Extract under Wine with real libraries: stand-in unzip libraries built by
// the test suite (unzip_probe_dll.cpp), loaded with LoadLibraryA from a
// folder or through the system's search order, driving the real callback.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "zip/ZipMstr.h"
#include "zip/tests/ZipTestSupport.h"

namespace {

using Names = std::vector<std::string>;
using ziptest::CapturedMessages;
using ziptest::TempFolder;

constexpr char kNotFound[] = "UNZDLL.DLL not found";
constexpr char kFatal[] = "Fatal DLL Error: abort exception";

std::filesystem::path ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::filesystem::path(std::string(path, length)).parent_path();
}

// Puts the stand-in library of that variant into folder as "unzdll.dll",
// the lower-case name the install sequence writes.
void PlaceProbe(const std::string& variant, const std::filesystem::path& folder) {
  std::filesystem::copy_file(ProgramFolder() / ("unzprobe_" + variant + ".dll"), folder / "unzdll.dll",
                             std::filesystem::copy_options::overwrite_existing);
}

std::string CurrentFolder() {
  char folder[MAX_PATH];
  return std::string(folder, GetCurrentDirectoryA(sizeof folder, folder));
}

std::string PointerText(const void* p) {
  char text[32];
  std::snprintf(text, sizeof text, "%p", p);
  return text;
}

class ZipExtract : public ::testing::Test {
 protected:
  ZipExtract() {
    zip = new TZipMaster(&form);
    std::filesystem::create_directories(dllFolder.Path());
    std::filesystem::copy_file(ziptest::Fixture("three.zip"), work.Path() / "archive.zip");
    SetEnvironmentVariableA("TAV_UNZIP_PROBE_LOG", logPath.c_str());
    SetEnvironmentVariableA("TAV_UNZIP_PROBE_SCRIPT", "");
    SetEnvironmentVariableA("TAV_UNZIP_PROBE_RESULT", "8");
    SetCurrentDirectoryA(work.Path().string().c_str());
    // As the install sequence sets it up.
    zip->SetExtrOptions({ExtrOverWrite});
    zip->SetDLLDirectory(dllFolder.Path().string() + "\\");
    zip->SetZipFilename(Archive());
    zip->SetExtrBaseDir(destination.Path().string());
  }
  ~ZipExtract() override {
    TZipMaster::UnloadUnzipLibrary();
    SetCurrentDirectoryA(std::filesystem::temp_directory_path().string().c_str());
  }

  std::string Archive() const { return work.File("archive.zip"); }

  // The log lines the library wrote, as "key=value".
  Names Log() const {
    std::ifstream in(logPath);
    Names lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::string Logged(const std::string& key) const {
    for (const std::string& line : Log()) {
      if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return "(none)";
  }
  Names LoggedAll(const std::string& key) const {
    Names values;
    for (const std::string& line : Log()) {
      if (line.rfind(key + "=", 0) == 0) values.push_back(line.substr(key.size() + 1));
    }
    return values;
  }
  static bool LibraryInProcess() { return GetModuleHandleA("unzdll.dll") != nullptr; }

  CapturedMessages messages;
  int window = 0;
  ziptest::FakeForm form{&window};
  TZipMaster* zip = nullptr;  // owned by form
  TempFolder work{"work"};
  TempFolder dllFolder{"dll"};
  TempFolder destination{"dest"};
  std::string logPath = work.File("probe.log");
};

TEST_F(ZipExtract, HandsTheLibraryTheMainWindowsSettings) {
  PlaceProbe("full", dllFolder.Path());
  zip->Extract();
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(LoggedAll("call"), Names{"UnzDllExec"});
  EXPECT_EQ(Logged("OwnerWindow"), PointerText(&window));
  EXPECT_EQ(Logged("Caller"), PointerText(zip));
  EXPECT_EQ(Logged("Version"), "140");
  EXPECT_EQ(Logged("CallbackSet"), "1");
  EXPECT_EQ(Logged("TraceFlag"), "0");
  EXPECT_EQ(Logged("Reserved20"), "0");
  EXPECT_EQ(Logged("Password"), "");
  EXPECT_EQ(Logged("TestFlag"), "0");
  EXPECT_EQ(Logged("FixedFlag32"), "0");
  EXPECT_EQ(Logged("FixedFlag36"), "0");
  EXPECT_EQ(Logged("FixedFlag40"), "-1");
  EXPECT_EQ(Logged("VerboseFlag"), "0");
  EXPECT_EQ(Logged("UpdateFlag"), "0");
  EXPECT_EQ(Logged("FreshenFlag"), "0");
  EXPECT_EQ(Logged("DirNamesFlag"), "0");
  EXPECT_EQ(Logged("OverwriteFlag"), "-1");
  EXPECT_EQ(Logged("SpecCount"), "0");
  EXPECT_EQ(Logged("ZipFilename"), Archive());
  EXPECT_EQ(Logged("Constant72"), "7");
  // The library ran in the destination, which stays the current folder.
  EXPECT_EQ(Logged("CurrentFolder"), destination.Path().string());
  EXPECT_EQ(CurrentFolder(), destination.Path().string());
  EXPECT_EQ(zip->ResultCount(), 8);
  EXPECT_FALSE(zip->Extracting());
  EXPECT_FALSE(LibraryInProcess());
}

TEST_F(ZipExtract, HandsOverPasswordAndSpecificationsAndConsumesThem) {
  PlaceProbe("full", dllFolder.Path());
  zip->SetPassword("secret");
  zip->SetFSpecArgs({"*.txt", "folder\\a?c.bin"});
  zip->SetExtrOptions({ExtrDirNames, ExtrFreshen, ExtrUpdate, ExtrTest});
  zip->SetTrace(true);
  zip->Extract();
  EXPECT_EQ(messages.texts, Names{"UNZ DLL Loaded"});
  EXPECT_EQ(Logged("Password"), "secret");
  EXPECT_EQ(Logged("SpecCount"), "2");
  EXPECT_EQ(LoggedAll("Spec"), (Names{"*.txt", "folder\\a?c.bin"}));
  EXPECT_EQ(Logged("TraceFlag"), "-1");
  EXPECT_EQ(Logged("VerboseFlag"), "-1");
  EXPECT_EQ(Logged("FreshenFlag"), "0");
  EXPECT_EQ(Logged("UpdateFlag"), "-1");
  EXPECT_EQ(Logged("DirNamesFlag"), "-1");
  EXPECT_EQ(Logged("TestFlag"), "-1");
  EXPECT_EQ(Logged("OverwriteFlag"), "0");
  EXPECT_TRUE(zip->FSpecArgs().empty());
}

TEST_F(ZipExtract, TurnsTheLibrarysReportsIntoEvents) {
  PlaceProbe("full", dllFolder.Path());
  SetEnvironmentVariableA("TAV_UNZIP_PROBE_SCRIPT",
                          "1,0,4242,TAV Quillbox.exe|2,9,77,x|3,9,77,y|4,11,0,Bad CRC\\r\\n|6,-2,0,\\n|0,1,1,z");
  Names progress;
  Names reports;
  zip->SetOnProgress([&](TComponent* sender, ProgressType type, const std::string& name, std::int32_t size) {
    EXPECT_EQ(sender, zip);
    progress.push_back(std::to_string(type) + "|" + name + "|" + std::to_string(size));
  });
  zip->SetOnMessage([&](TComponent* sender, std::int32_t code, const std::string& text) {
    EXPECT_EQ(sender, zip);
    reports.push_back(std::to_string(code) + "|" + text);
  });
  zip->Extract();
  EXPECT_EQ(progress, (Names{"0|TAV Quillbox.exe|4242", "1| |0", "2| |0"}));
  EXPECT_EQ(reports, (Names{std::string("11|Bad CRC\0\0", 12), std::string("-2|\0", 4)}));
  EXPECT_EQ(LoggedAll("answer"), Names(6, "0"));
  EXPECT_EQ(zip->ResultCount(), 8);
}

TEST_F(ZipExtract, CancelRequestStopsTheLibraryAndIsClearedAfterwards) {
  PlaceProbe("full", dllFolder.Path());
  SetEnvironmentVariableA("TAV_UNZIP_PROBE_SCRIPT", "1,0,1,a|1,0,1,b|1,0,1,c");
  zip->SetOnProgress([&](TComponent*, ProgressType, const std::string& name, std::int32_t) {
    if (name == "b") zip->SetCancelRequest(true);
  });
  zip->SetCancelRequest(true);  // cleared when the extraction starts
  zip->Extract();
  EXPECT_EQ(LoggedAll("answer"), (Names{"0", "-1"}));
  EXPECT_EQ(Logged("stopped"), "1");
  EXPECT_FALSE(zip->CancelRequest());
  EXPECT_TRUE(messages.texts.empty());
}

TEST_F(ZipExtract, AHandlersExceptionEndsTheCallWithTheFatalMessage) {
  PlaceProbe("full", dllFolder.Path());
  SetEnvironmentVariableA("TAV_UNZIP_PROBE_SCRIPT", "1,0,1,a|1,0,1,b");
  zip->SetOnProgress([](TComponent*, ProgressType, const std::string&, std::int32_t) {
    throw std::runtime_error("handler failed");
  });
  zip->SetFSpecArgs({"a"});
  zip->Extract();
  EXPECT_EQ(LoggedAll("answer"), Names{"-1"});
  EXPECT_EQ(messages.texts, Names{kFatal});
  EXPECT_EQ(zip->ResultCount(), 0);
  EXPECT_TRUE(zip->FSpecArgs().empty());
  EXPECT_FALSE(zip->Extracting());
  EXPECT_FALSE(LibraryInProcess());
  // The next extraction is not affected.
  zip->SetOnProgress(nullptr);
  messages.texts.clear();
  zip->Extract();
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(zip->ResultCount(), 8);
}

TEST_F(ZipExtract, AnExtractFromAnEventHandlerDoesNothing) {
  PlaceProbe("full", dllFolder.Path());
  SetEnvironmentVariableA("TAV_UNZIP_PROBE_SCRIPT", "1,0,1,a");
  bool wasExtracting = false;
  zip->SetOnProgress([&](TComponent*, ProgressType, const std::string&, std::int32_t) {
    wasExtracting = zip->Extracting();
    zip->Extract();
  });
  zip->Extract();
  EXPECT_TRUE(wasExtracting);
  EXPECT_EQ(LoggedAll("call").size(), 1u);
  EXPECT_EQ(zip->ResultCount(), 8);
  EXPECT_TRUE(messages.texts.empty());
}

TEST_F(ZipExtract, AMissingArchiveIsReportedBeforeAnyLibraryIsLoaded) {
  PlaceProbe("full", dllFolder.Path());
  zip->SetFSpecArgs({"kept"});
  std::filesystem::remove(Archive());
  zip->Extract();
  EXPECT_EQ(messages.texts, Names{"Error - no zip file specified"});
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(zip->FSpecArgs(), Names{"kept"});
  EXPECT_EQ(zip->ResultCount(), 0);
  EXPECT_EQ(CurrentFolder(), work.Path().string());
}

TEST_F(ZipExtract, TextsTooLongForTheLibrarysBuffersAreRefused) {
  PlaceProbe("full", dllFolder.Path());
  zip->SetFSpecArgs({"ok", std::string(256, 's')});
  zip->Extract();
  EXPECT_EQ(messages.texts, Names{"Error - file specification longer than 255 characters: " + std::string(256, 's')});
  zip->SetFSpecArgs(Names(4098, "*"));
  zip->Extract();
  zip->SetFSpecArgs({});
  zip->SetPassword(std::string(81, 'p'));
  zip->Extract();
  EXPECT_EQ(messages.texts.size(), 3u);
  EXPECT_EQ(messages.texts[1], "Error - more than 4097 file specifications");
  EXPECT_EQ(messages.texts[2], "Error - password longer than 80 characters");
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(zip->Extracting());
}

TEST_F(ZipExtract, NoLibraryAnywhereIsReported) {
  zip->SetFSpecArgs({"kept"});
  zip->Extract();
  EXPECT_EQ(messages.texts, Names{kNotFound});
  EXPECT_FALSE(zip->Extracting());
  EXPECT_EQ(zip->ResultCount(), 0);
  EXPECT_EQ(zip->FSpecArgs(), Names{"kept"});
  EXPECT_EQ(CurrentFolder(), work.Path().string());
}

TEST_F(ZipExtract, FallsBackQuietlyToTheSystemsSearchOrder) {
  // Not in DLLDirectory, but in the current folder, which the default
  // search order includes.
  PlaceProbe("full", work.Path());
  zip->Extract();
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(LoggedAll("call").size(), 1u);
  zip->SetDLLDirectory("");
  SetCurrentDirectoryA(work.Path().string().c_str());
  zip->Extract();
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(LoggedAll("call").size(), 2u);
}

TEST_F(ZipExtract, ALibraryWithoutUnzDllExecCountsAsAFailedCall) {
  PlaceProbe("noexec", dllFolder.Path());
  zip->SetFSpecArgs({"consumed"});
  zip->Extract();
  EXPECT_EQ(messages.texts, (Names{"UnzDllExec function not found in UNZDLL.DLL", kFatal}));
  EXPECT_TRUE(zip->FSpecArgs().empty());
  EXPECT_FALSE(LibraryInProcess());
}

TEST_F(ZipExtract, ALibraryWithoutGetUnzDllVersionStillExtracts) {
  PlaceProbe("noversion", dllFolder.Path());
  zip->Extract();
  EXPECT_EQ(messages.texts, Names{"GetUnzDllVersion function not found in UNZDLL.DLL"});
  EXPECT_EQ(LoggedAll("call").size(), 1u);
  EXPECT_EQ(zip->ResultCount(), 8);
}

TEST_F(ZipExtract, ALibraryWithoutEitherEntryPointGetsBothMessagesAfterTheTrace) {
  PlaceProbe("none", dllFolder.Path());
  zip->SetTrace(true);
  zip->Extract();
  EXPECT_EQ(messages.texts, (Names{"UNZ DLL Loaded", "UnzDllExec function not found in UNZDLL.DLL",
                                   "GetUnzDllVersion function not found in UNZDLL.DLL", kFatal}));
}

// The cases below may leave a library in the process for good, or end it:
// each runs in a process of its own.

// Unwound as a C++ exception on x86_64, the library is unloaded. At i686 a
// library's exception arrives as a system exception, and a library abandoned
// by one stays in place for its threads.
#if defined(_WIN64)
constexpr bool kThrowingLibraryStays = false;
#else
constexpr bool kThrowingLibraryStays = true;
#endif

TEST_F(ZipExtract, ALibraryThatThrowsEndsWithTheFatalMessage) {
  EXPECT_EXIT(
      {
        PlaceProbe("throws", dllFolder.Path());
        zip->SetFSpecArgs({"consumed"});
        zip->Extract();
        int faults = 0;
        if (messages.texts != Names{kFatal} || zip->ResultCount() != 0 || !zip->FSpecArgs().empty() ||
            zip->Extracting() || TZipMaster::UnzipLibraryLoaded())
          faults |= 1;
        if (LibraryInProcess() != kThrowingLibraryStays) faults |= 2;
        std::exit(faults);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ZipExtract, ALibraryThatRaisesIsAbandonedButKeptInPlaceForItsThreads) {
  EXPECT_EXIT(
      {
        PlaceProbe("lingers", dllFolder.Path());
        const std::string eventName = "tav-probe-lingered-" + std::to_string(GetCurrentProcessId());
        HANDLE lingered = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
        SetEnvironmentVariableA("TAV_UNZIP_PROBE_EVENT", eventName.c_str());
        zip->SetFSpecArgs({"consumed"});
        zip->Extract();
        int faults = 0;
        if (messages.texts != Names{kFatal} || zip->ResultCount() != 0 || !zip->FSpecArgs().empty() ||
            zip->Extracting())
          faults |= 1;
        // The component lets go of it, but the code stays mapped ...
        if (TZipMaster::UnzipLibraryLoaded() || !LibraryInProcess()) faults |= 2;
        // ... and the library's thread runs on to its end.
        if (WaitForSingleObject(lingered, 10000) != WAIT_OBJECT_0) faults |= 4;
        std::exit(faults);
      },
      ::testing::ExitedWithCode(0), "");
}

LONG WINAPI EndWithTheWorkersFault(EXCEPTION_POINTERS* exception) {
  ExitProcess(exception->ExceptionRecord->ExceptionCode == 0xE0000043 ? 42 : 43);
}

TEST_F(ZipExtract, AFaultOnTheLibrarysOwnThreadNeverReturnsThroughTheCallersGuard) {
  EXPECT_EXIT(
      {
        // The program's own last resort, which the guard must leave in charge
        // of every thread but the caller's.
        SetUnhandledExceptionFilter(EndWithTheWorkersFault);
        PlaceProbe("workerfaults", dllFolder.Path());
        zip->Extract();
        // Only the faulting thread, on the caller's stack, could come here.
        std::exit(7);
      },
      ::testing::ExitedWithCode(42), "");
}

TEST_F(ZipExtract, TheLibraryIsUnloadedWhenExtractRaises) {
  // A message presenter that fails, as a message box may.
  SetMessagePresenter([](const std::string& text, MessageStyle) { throw std::runtime_error(text); });
  // Each fails while the library is loaded: at its first message.
  for (const char* variant : {"noexec", "noversion"}) {
    SCOPED_TRACE(variant);
    PlaceProbe(variant, dllFolder.Path());
    EXPECT_THROW(zip->Extract(), std::runtime_error);
    EXPECT_FALSE(TZipMaster::UnzipLibraryLoaded());
    EXPECT_FALSE(LibraryInProcess());
    EXPECT_FALSE(zip->Extracting());
  }
}

// The first exception the process sees, before any handler.
DWORD firstExceptionCode = 0;
LONG CALLBACK RecordFirstException(EXCEPTION_POINTERS* exception) {
  if (firstExceptionCode == 0) firstExceptionCode = exception->ExceptionRecord->ExceptionCode;
  return EXCEPTION_CONTINUE_SEARCH;
}

TEST_F(ZipExtract, AnAccessViolationInTheLibraryEndsOnlyTheCall) {
  // The faulting library stays in the process for good: a process of its own.
  EXPECT_EXIT(
      {
        int faults = 0;
        PlaceProbe("faults", dllFolder.Path());
        firstExceptionCode = 0;
        void* const recorder = AddVectoredExceptionHandler(1, RecordFirstException);
        zip->Extract();
        RemoveVectoredExceptionHandler(recorder);
        // A real access violation, not whatever an emulator makes of one.
        if (firstExceptionCode != static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)) faults |= 1;
        if (messages.texts != Names{kFatal} || TZipMaster::UnzipLibraryLoaded()) faults |= 2;
        // The program goes on: the abandoned frames left no handler behind
        // (the next exception is dispatched and caught as before), and the
        // next library works. Each from a folder of its own, beside the one
        // still in place.
        const auto extractWith = [&](const char* variant) {
          const std::filesystem::path folder = dllFolder.Path() / variant;
          std::filesystem::create_directories(folder);
          PlaceProbe(variant, folder);
          zip->SetDLLDirectory(folder.string());
          messages.texts.clear();
          zip->Extract();
        };
        extractWith("raises");
        if (messages.texts != Names{kFatal}) faults |= 4;
        extractWith("full");
        if (!messages.texts.empty() || zip->ResultCount() != 8) faults |= 8;
        std::exit(faults);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ZipExtract, ALibraryLoadedBeforeTheCallStaysLoaded) {
  PlaceProbe("full", dllFolder.Path());
  zip->LoadUnzipLibrary();
  ASSERT_TRUE(TZipMaster::UnzipLibraryLoaded());
  zip->Extract();
  EXPECT_EQ(zip->ResultCount(), 8);
  EXPECT_TRUE(TZipMaster::UnzipLibraryLoaded());
  EXPECT_TRUE(LibraryInProcess());
  TZipMaster::UnloadUnzipLibrary();
  EXPECT_FALSE(LibraryInProcess());
}

TEST_F(ZipExtract, AMissingDestinationLeavesTheCurrentFolder) {
  PlaceProbe("full", dllFolder.Path());
  zip->SetExtrBaseDir(work.File("not-there"));
  zip->Extract();
  EXPECT_EQ(Logged("CurrentFolder"), work.Path().string());
  EXPECT_EQ(CurrentFolder(), work.Path().string());
}

}  // namespace
