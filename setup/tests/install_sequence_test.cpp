// The install sequence's order and failure paths against a fake main window
// and a fake extraction, with real folders and copies (natively, under the
// sanitizers and under Wine): every step in its place, the destination read
// afresh, and every failure ending in the error box, never in "installed".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/FileSystem.h"
#include "base/UserMessage.h"
#include "setup/InstallSequence.h"
#include "zip/tests/ZipBytes.h"

namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The main window, its carried files and the extraction, as calls written
// down in a log; the box texts the user would read are in the log too.
class FakeHost : public InstallHost {
 public:
  // Its carried files are the ones in folder.
  FakeHost(std::string typed, const fs::path& folder)
      : destination(std::move(typed)),
        zipLibrary((folder / "zipdll.tmp").string()),
        unzipLibrary((folder / "unzdll.tmp").string()),
        archive((folder / "app.zip").string()),
        zip(nullptr) {}

  void SetBusyCursor(bool busy) override { log.push_back(busy ? "busy cursor" : "default cursor"); }
  void ShowProgressBar() override { log.push_back("bar shown"); }
  void SetProgress(int percent) override { log.push_back("progress " + std::to_string(percent)); }
  std::string Destination() override {
    log.push_back("destination read");
    return destination;
  }
  InstallOptions Options() override {
    log.push_back("options read");
    return options;
  }
  void HideWindow() override { log.push_back("hidden"); }
  void ShowInstalledBox() override { log.push_back("box: TAV Quillbox installed."); }
  void ShowErrorBox() override {
    try {
      throw;
    } catch (const Exception& error) {
      log.push_back("error box: " + error.Message());
    }
  }
  void CloseWindow() override { log.push_back("closed"); }
  std::string CarriedFileName(CarriedFile file) override {
    return file == CarriedFile::ZipLibrary ? zipLibrary : file == CarriedFile::UnzipLibrary ? unzipLibrary : archive;
  }
  TZipMaster& Zip() override { return zip; }
  bool LoadUnzipLibrary() override {
    log.push_back("library loaded from " + zip.DLLDirectory());
    return libraryLoads;
  }
  ExtractionOutcome Extract() override {
    log.push_back("extracted into " + zip.ExtrBaseDir());
    return extraction;
  }
  void RegisterInstallation(const std::string& folder, const InstallOptions& chosen) override {
    log.push_back("registered " + folder + " " + std::to_string(chosen.Associate) + std::to_string(chosen.StartMenu) +
                  std::to_string(chosen.Desktop));
    if (!registrationError.empty()) throw Exception(registrationError);
  }

  std::string destination;
  InstallOptions options{true, true, false};
  std::string zipLibrary;
  std::string unzipLibrary;
  std::string archive;
  bool libraryLoads = true;
  ExtractionOutcome extraction{3, ""};
  std::string registrationError;
  TZipMaster zip;
  Log log;
};

class InstallSequence : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    scratch_ = fs::path(TemporaryFolder()) / ("tav-install-" + name);
    fs::remove_all(scratch_);
    fs::create_directories(scratch_ / "carried");
    WriteText(scratch_ / "carried" / "zipdll.tmp", "zip library");
    WriteText(scratch_ / "carried" / "unzdll.tmp", "unzip library");
    zipbytes::WriteFile(scratch_ / "carried" / "app.zip", zipbytes::Builder()
                                                             .Local(zipbytes::Member("a.txt", "1"))
                                                             .Local(zipbytes::Member("b.txt", "2"))
                                                             .Local(zipbytes::Member("c.txt", "3"))
                                                             .Central()
                                                             .End()
                                                             .Result());
    previous_ = SetMessagePresenter([this](const std::string& text, MessageStyle) { shown_.push_back(text); });
  }
  void TearDown() override {
    SetMessagePresenter(previous_);
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);
  }

  fs::path Carried() const { return scratch_ / "carried"; }

  std::string In(const fs::path& relative) const { return (scratch_ / relative).string(); }

  // The log of a run that failed at the folder step with message.
  static Log FailedAtTheFolder(const std::string& message) {
    return {"busy cursor", "bar shown", "progress 5", "destination read",
            "default cursor", "hidden", "error box: " + message, "closed"};
  }

  fs::path scratch_;
  MessagePresenter previous_;
  std::vector<std::string> shown_;
};

TEST_F(InstallSequence, RunsEveryStepInOrderAndReportsTheInstallation) {
  FakeHost host(In(fs::path("Program Files") / "TAV Quillbox"), Carried());
  RunInstallSequence(host);
  const std::string d = host.destination;
  EXPECT_EQ(host.log, (Log{"busy cursor", "bar shown", "progress 5", "destination read", "progress 10",
                           "destination read", "progress 20", "destination read", "progress 30", "progress 40",
                           "progress 50", "progress 60", "destination read", "destination read",
                           "library loaded from " + d, "extracted into " + d, "progress 70", "destination read",
                           "options read", "registered " + d + " 110", "progress 100", "default cursor", "hidden",
                           "box: TAV Quillbox installed.", "closed"}));
  EXPECT_EQ(ReadText(fs::path(d) / "zipdll.dll"), "zip library");
  EXPECT_EQ(ReadText(fs::path(d) / "unzdll.dll"), "unzip library");
  EXPECT_EQ(host.zip.ZipFilename(), host.archive);
  EXPECT_EQ(host.zip.DirEntries().size(), 3u);
  EXPECT_TRUE(shown_.empty());
}

TEST_F(InstallSequence, OverwritesEarlierLibrariesAndTakesTheOptionsAsChecked) {
  fs::create_directories(scratch_ / "again");
  WriteText(scratch_ / "again" / "zipdll.dll", "old zip library, longer than the new one");
  FakeHost host(In("again") + PathSeparator(), Carried());
  host.options = {false, false, false};
  RunInstallSequence(host);
  EXPECT_EQ(ReadText(scratch_ / "again" / "zipdll.dll"), "zip library");
  // The destination goes on as typed, its separator and all.
  EXPECT_NE(std::find(host.log.begin(), host.log.end(), "registered " + host.destination + " 000"), host.log.end());
  EXPECT_EQ(host.log.end()[-2], "box: TAV Quillbox installed.");
}

TEST_F(InstallSequence, AFolderThatIsNotThereAfterTheFolderStepStopsIt) {
  WriteText(scratch_ / "a file", "in the way");
  struct Case {
    std::string destination;
    std::string message;  // empty: begins with "Unable to create directory <destination>: "
  };
  const Case cases[] = {
      {"", "Unable to create directory"},
      {"NoSeparatorAtAll", "Unable to create directory"},
      {(scratch_ / "a file").string(), ""},
      {(scratch_ / "a file" / "below").string(), ""},
  };
  for (const Case& c : cases) {
    FakeHost host(c.destination, Carried());
    RunInstallSequence(host);
    ASSERT_EQ(host.log.size(), 8u) << c.destination;
    if (!c.message.empty()) {
      EXPECT_EQ(host.log, FailedAtTheFolder(c.message)) << c.destination;
    } else {
      const std::string expected = "error box: Unable to create directory " + c.destination + ": ";
      EXPECT_EQ(host.log[6].substr(0, expected.size()), expected) << host.log[6];
      EXPECT_GT(host.log[6].size(), expected.size()) << "the system's reason follows";
    }
  }
  EXPECT_EQ(ReadText(scratch_ / "a file"), "in the way");
}

TEST_F(InstallSequence, MakesEveryMissingParentAndNoMore) {
  FakeHost host(In(fs::path("one") / "two" / "three"), Carried());
  RunInstallSequence(host);
  EXPECT_TRUE(fs::is_directory(scratch_ / "one" / "two" / "three"));
  EXPECT_EQ(host.log.end()[-2], "box: TAV Quillbox installed.");
}

TEST_F(InstallSequence, ACopyThatFailsSaysWhichFileAndWhy) {
  {
    FakeHost host(In("gone"), Carried());
    host.unzipLibrary.clear();  // its temporary file was deleted
    RunInstallSequence(host);
    EXPECT_EQ(host.log.end()[-2],
              "error box: Unable to copy unzdll.dll: its carried copy has gone from the temporary folder");
    EXPECT_TRUE(fs::exists(scratch_ / "gone" / "zipdll.dll"));
  }
  {
    fs::create_directories(scratch_ / "blocked" / "zipdll.dll");  // a folder where the file goes
    FakeHost host(In("blocked"), Carried());
    RunInstallSequence(host);
    const std::string expected =
        "error box: Unable to copy zipdll.dll to " + (scratch_ / "blocked" / "zipdll.dll").string() + ": ";
    EXPECT_EQ(host.log.end()[-2].substr(0, expected.size()), expected) << host.log.end()[-2];
    EXPECT_EQ(std::find(host.log.begin(), host.log.end(), "progress 20"), host.log.end());
    EXPECT_FALSE(fs::exists(scratch_ / "blocked" / "unzdll.dll")) << "nothing after the failed step";
  }
}

TEST_F(InstallSequence, AnExtractionThatFallsShortIsAnError) {
  struct Case {
    const char* what;
    std::function<void(FakeHost&)> arrange;
    std::string message;
    std::vector<std::string> shown;  // the archive component's own boxes
  };
  const fs::path empty = scratch_ / "carried" / "empty.zip";
  zipbytes::WriteFile(empty, zipbytes::Builder().End().Result());
  const Case cases[] = {
      {"an archive that lists nothing", [&](FakeHost& h) { h.archive = empty.string(); },
       "Unable to read the application archive: it lists no files to install", {"No valid zip entries found"}},
      {"the library not loaded", [](FakeHost& h) { h.libraryLoads = false; },
       "Unable to load the unzip library unzdll.dll from ", {}},
      {"a member that failed", [](FakeHost& h) { h.extraction = {2, "b.txt: not extracted, CRC-32 error"}; },
       "Only 2 of the 3 files in the application archive were installed (b.txt: not extracted, CRC-32 error)", {}},
      {"nothing extracted, no reason", [](FakeHost& h) { h.extraction = {0, ""}; },
       "Only 0 of the 3 files in the application archive were installed", {}},
  };
  for (const Case& c : cases) {
    shown_.clear();
    FakeHost host(In("short"), Carried());
    c.arrange(host);
    RunInstallSequence(host);
    std::string message = c.message;
    if (message.back() == ' ') message += host.destination;
    EXPECT_EQ(host.log.end()[-2], "error box: " + message) << c.what;
    EXPECT_EQ(std::find(host.log.begin(), host.log.end(), "progress 70"), host.log.end()) << c.what;
    EXPECT_EQ(std::find(host.log.begin(), host.log.end(), "box: TAV Quillbox installed."), host.log.end());
    EXPECT_EQ(shown_, c.shown) << c.what;
  }
}

TEST_F(InstallSequence, AMissingArchiveAndTheRegistrationsErrorsStopIt) {
  {
    FakeHost host(In("missing archive"), Carried());
    host.archive = (scratch_ / "carried" / "nothing.zip").string();
    RunInstallSequence(host);
    EXPECT_EQ(host.log.end()[-2], "error box: Unable to read the application archive: it lists no files to install");
  }
  {
    FakeHost host(In("denied"), Carried());
    host.registrationError = "Failed to set data for ''";
    RunInstallSequence(host);
    EXPECT_EQ(host.log.end()[-5], "registered " + host.destination + " 110");
    EXPECT_EQ(std::find(host.log.begin(), host.log.end(), "progress 100"), host.log.end());
    EXPECT_EQ(host.log.end()[-2], "error box: Failed to set data for ''");
  }
}

}  // namespace
