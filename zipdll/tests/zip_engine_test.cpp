// The engine end to end in a scratch folder: archives checked by the tests'
// own reader and, natively, by Python's zipfile and Info-ZIP's unzip -t;
// levels, folder names, recursion, freshen and update, adding to archives,
// failures that must leave the old archive untouched, refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>

#include "ScratchFolder.h"
#include "testsupport/SampleData.h"
#include "zip/ZIPDLL.h"
#include "zipdll/engine/ZipEngine.h"

namespace {

using readback::Bytes;

struct Event {
  int action;  // 1 member, 2 step, 3 end, 4 message: as the callback numbers them
  std::int32_t code;
  std::string text;
};

// Records every report; can run a hook and stop at the nth member.
class RecordingReport : public ZipReport {
 public:
  bool MemberStart(const std::string& name, std::uint64_t size) override {
    events.push_back({1, 0, name + ":" + std::to_string(size)});
    ++members;
    if (onMember) onMember(members);
    return members != stopAtMember;
  }
  bool Step() override {
    events.push_back({2, 0, ""});
    return true;
  }
  void BatchEnd() override { events.push_back({3, 0, ""}); }
  bool Message(std::int32_t code, const std::string& text) override {
    events.push_back({4, code, text});
    return true;
  }

  // The messages with a code other than information.
  std::vector<Event> Failures() const {
    std::vector<Event> out;
    for (const auto& e : events) {
      if (e.action == 4 && e.code != kZipMessageInfo) out.push_back(e);
    }
    return out;
  }
  bool Ended() const { return !events.empty() && events.back().action == 3; }

  std::vector<Event> events;
  int members = 0;
  int stopAtMember = 0;
  std::function<void(int)> onMember;
};

ZipRequest Request(const std::string& archive, std::vector<std::string> specs, int level = 6) {
  ZipRequest request;
  request.archive = archive;
  request.specs = std::move(specs);
  request.level = level;
  return request;
}

std::map<std::string, Bytes> Contents(const readback::Archive& archive) {
  std::map<std::string, Bytes> out;
  for (const auto& m : archive.members) out[m.name] = m.data;
  return out;
}

std::vector<std::string> Names(const readback::Archive& archive) {
  std::vector<std::string> out;
  for (const auto& m : archive.members) out.push_back(m.name);
  return out;
}

// Python's zipfile and Info-ZIP's unzip -t on the archive: the names must be
// exactly those of expected, each member the bytes of its file.
// (Python starts slowly on a busy machine: give it several archives at once.)
void ExpectIndependentReadersAgree(const std::vector<std::string>& archives,
                                   const std::map<std::string, std::string>& expected, const std::string& method = "") {
#ifdef _WIN32
  // Under Wine the tests' own reader stands in; the DLL test's archive is
  // checked by both readers in a native step after it.
  (void)archives, (void)expected, (void)method;
#else
  std::string command = std::string("python3 '") + TAV_VERIFY_ZIP + "'";
  for (const auto& archive : archives) command += " '" + archive + "'";
  if (!method.empty()) command += " --method " + method;
  for (const auto& [name, path] : expected) command += " '" + name + "=" + path + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
#endif
}

class ZipEngine : public ::testing::Test {
 protected:
  ScratchFolder folder;
  RecordingReport report;

  ZipOutcome Zip(const ZipRequest& request) { return RunZip(request, report); }

  void MakeSampleFiles() {
    WriteBytes("text.txt", sample::Text(200000, 1));
    WriteBytes("noise.bin", sample::RandomBytes(70000, 2));
    WriteBytes("one.bin", {0x42});
    WriteBytes("empty.dat", {});
  }
  const std::map<std::string, std::string> kSampleFiles{
      {"text.txt", "text.txt"}, {"noise.bin", "noise.bin"}, {"one.bin", "one.bin"}, {"empty.dat", "empty.dat"}};
};

TEST_F(ZipEngine, EveryLevelMakesAnArchiveEveryReaderReads) {
  MakeSampleFiles();
  std::size_t previousTextSize = SIZE_MAX;
  for (int level = 0; level <= 9; ++level) {
    const std::string archive = "level" + std::to_string(level) + ".zip";
    const auto outcome = Zip(Request(archive, {"*.txt", "*.bin", "empty.dat"}, level));
    EXPECT_EQ(outcome.added, 4) << level;
    EXPECT_EQ(outcome.failures, 0) << level;
    const auto read = readback::Read(archive);
    EXPECT_EQ(Names(read), (std::vector<std::string>{"text.txt", "noise.bin", "one.bin", "empty.dat"}));
    for (const auto& m : read.members) {
      EXPECT_EQ(m.data, readback::ReadFileBytes(m.name)) << m.name << " at level " << level;
      EXPECT_EQ(m.method, level == 0 || m.data.empty() ? 0 : 8) << m.name << " at level " << level;
    }
    // Stored text is the largest; levels 1 to 9 shrink it, never by nothing.
    const std::size_t textSize = read.members[0].rawSpan.size();
    if (level == 1) {
      EXPECT_LT(textSize, previousTextSize / 2);
    }
    if (level == 9) {
      EXPECT_LE(textSize, readback::Read("level1.zip").members[0].rawSpan.size());
    }
    previousTextSize = std::min(previousTextSize, textSize);
  }
  ExpectIndependentReadersAgree({"level0.zip"}, kSampleFiles, "stored");
  ExpectIndependentReadersAgree({"level1.zip", "level2.zip", "level3.zip", "level4.zip", "level5.zip", "level6.zip",
                                 "level7.zip", "level8.zip", "level9.zip"},
                                kSampleFiles);
}

TEST_F(ZipEngine, ReportsEachMemberItsStepsAndTheEnd) {
  MakeSampleFiles();
  Zip(Request("a.zip", {"text.txt", "one.bin"}));
  ASSERT_TRUE(report.Ended());
  std::vector<std::string> starts;
  int steps = 0;
  for (const auto& e : report.events) {
    if (e.action == 1) starts.push_back(e.text);
    steps += e.action == 2;
  }
  EXPECT_EQ(starts, (std::vector<std::string>{"text.txt:200000", "one.bin:1"}));
  EXPECT_EQ(steps, 4 + 1);  // 200000 bytes in 64 KB steps, then one
}

TEST_F(ZipEngine, FolderNamesOnAndOffWithRecursion) {
  WriteText("top.txt", "top");
  WriteText("sub/a.txt", "a");
  WriteText("sub/deep/b.txt", "b");
  WriteText("sub/deep/skip.log", "log");

  auto request = Request("on.zip", {"*.txt"});
  request.recurse = true;
  Zip(request);
  EXPECT_EQ(Names(readback::Read("on.zip")), (std::vector<std::string>{"top.txt", "sub/a.txt", "sub/deep/b.txt"}));
  ExpectIndependentReadersAgree({"on.zip"}, {{"top.txt", "top.txt"}, {"sub/a.txt", "sub/a.txt"},
                                           {"sub/deep/b.txt", "sub/deep/b.txt"}});

  request.archive = "off.zip";
  request.folderNames = false;
  Zip(request);
  EXPECT_EQ(Contents(readback::Read("off.zip")),
            (std::map<std::string, Bytes>{{"top.txt", {'t', 'o', 'p'}}, {"a.txt", {'a'}}, {"b.txt", {'b'}}}));

  request.archive = "flat.zip";
  request.folderNames = true;
  request.recurse = false;
  Zip(request);
  EXPECT_EQ(Names(readback::Read("flat.zip")), (std::vector<std::string>{"top.txt"}));
}

TEST_F(ZipEngine, SpecificationsNameFoldersFilesAndPatterns) {
  WriteText("sub/a.txt", "a");
  WriteText("sub/B.TXT", "b");
  WriteText("sub/ab.txt", "ab");
  WriteText("sub/deep/c.txt", "c");

  Zip(Request("pattern.zip", {"sub/?.txt"}));
  EXPECT_EQ(Names(readback::Read("pattern.zip")), (std::vector<std::string>{"sub/B.TXT", "sub/a.txt"}));

  Zip(Request("folder.zip", {"sub"}));  // a folder stands for its files
  EXPECT_EQ(Names(readback::Read("folder.zip")), (std::vector<std::string>{"sub/B.TXT", "sub/a.txt", "sub/ab.txt"}));

  Zip(Request("twice.zip", {"sub/a.txt", "sub/*.txt"}));  // one file found twice is stored once
  EXPECT_EQ(Names(readback::Read("twice.zip")), (std::vector<std::string>{"sub/a.txt", "sub/B.TXT", "sub/ab.txt"}));
  EXPECT_TRUE(report.Failures().empty());
}

TEST_F(ZipEngine, AbsolutePathsAreStoredRelative) {
  WriteText("abs.txt", "absolute");
  const std::string absolute = (folder.Path() / "abs.txt").string();
  Zip(Request("abs.zip", {absolute}));
  const auto read = readback::Read("abs.zip");
  ASSERT_EQ(read.members.size(), 1u);
  const std::string& name = read.members[0].name;
  EXPECT_NE(name.front(), '/');
  EXPECT_EQ(name.find(':'), std::string::npos);
  EXPECT_EQ(name.size() >= 8 ? name.substr(name.size() - 8) : name, "/abs.txt");
}

TEST_F(ZipEngine, TheArchiveIsNeverAddedToItself) {
  WriteText("a.txt", "a");
  Zip(Request("self.zip", {"*"}));
  Zip(Request("self.zip", {"*"}));
  EXPECT_EQ(Names(readback::Read("self.zip")), (std::vector<std::string>{"a.txt"}));
  EXPECT_TRUE(report.Failures().empty());
}

TEST_F(ZipEngine, RefusedNamesAreReportedAndLeftOut) {
  WriteText("inside/a.txt", "a");
  WriteText("outside.txt", "o");
  std::filesystem::current_path("inside");
  const auto outcome = Zip(Request("r.zip", {"a.txt", "../outside.txt"}));
  EXPECT_EQ(outcome.added, 1);
  ASSERT_EQ(report.Failures().size(), 1u);
  EXPECT_EQ(report.Failures()[0].code, kZipMessageName);
  EXPECT_NE(report.Failures()[0].text.find("../outside.txt"), std::string::npos);
  EXPECT_EQ(Names(readback::Read("r.zip")), (std::vector<std::string>{"a.txt"}));
}

TEST_F(ZipEngine, TwoFilesForOneNameAreReportedNotMerged) {
  WriteText("x/same.txt", "first");
  WriteText("y/SAME.txt", "second");
  auto request = Request("dup.zip", {"x/*", "y/*"});
  request.folderNames = false;
  Zip(request);
  EXPECT_EQ(Contents(readback::Read("dup.zip")), (std::map<std::string, Bytes>{{"same.txt", {'f', 'i', 'r', 's', 't'}}}));
  ASSERT_EQ(report.Failures().size(), 1u);
  EXPECT_EQ(report.Failures()[0].code, kZipMessageName);
}

TEST_F(ZipEngine, NothingFoundMakesNoArchive) {
  const auto outcome = Zip(Request("none.zip", {"missing.txt", "*.none"}));
  EXPECT_EQ(outcome.added, 0);
  EXPECT_EQ(report.Failures().size(), 2u);
  EXPECT_EQ(report.Failures()[0].code, kZipMessageFile);
  EXPECT_FALSE(std::filesystem::exists("none.zip"));
  EXPECT_TRUE(report.Ended());
}

TEST_F(ZipEngine, BadRequestsAreRefused) {
  WriteText("a.txt", "a");
  std::filesystem::create_directories("folder.zip");
  const ZipRequest requests[] = {Request("l.zip", {"a.txt"}, 10), Request("l.zip", {"a.txt"}, -1),
                                 Request("", {"a.txt"}), Request("l.zip", {}), Request("folder.zip", {"a.txt"})};
  for (const auto& request : requests) {
    RecordingReport own;
    EXPECT_EQ(RunZip(request, own).added, 0);
    ASSERT_EQ(own.Failures().size(), 1u);
    EXPECT_EQ(own.Failures()[0].code, kZipMessageParameters) << own.Failures()[0].text;
  }
  EXPECT_FALSE(std::filesystem::exists("l.zip"));
}

class AddingToAnArchive : public ZipEngine {
 protected:
  void SetUp() override {
    WriteText("a.txt", std::string(5000, 'a'));
    WriteText("b.txt", std::string(5000, 'b'));
    SetAge("a.txt", std::chrono::hours(-48));
    SetAge("b.txt", std::chrono::hours(-48));
    Zip(Request("x.zip", {"a.txt", "b.txt"}));
    report = RecordingReport();
    before = readback::Read("x.zip");
    beforeBytes = readback::ReadFileBytes("x.zip");
    // a.txt changes and is newer than its member; c.txt is new.
    WriteText("a.txt", "new a");
    WriteText("c.txt", "c");
  }

  readback::Archive before;
  Bytes beforeBytes;
};

TEST_F(AddingToAnArchive, AddReplacesAndAppendsAndCopiesTheRest) {
  WriteText("b.txt", "b changed, but older than its member");
  SetAge("b.txt", std::chrono::hours(-72));
  const auto outcome = Zip(Request("x.zip", {"*.txt"}));
  EXPECT_EQ(outcome.added, 3);
  const auto after = readback::Read("x.zip");
  EXPECT_EQ(Names(after), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(Contents(after)["b.txt"], readback::ReadFileBytes("b.txt"));
  ExpectIndependentReadersAgree({"x.zip"}, {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"c.txt", "c.txt"}});
}

TEST_F(AddingToAnArchive, FreshenReplacesOnlyOlderMembersAndAddsNothing) {
  auto request = Request("x.zip", {"*.txt"});
  request.mode = AddMode::Freshen;
  EXPECT_EQ(Zip(request).added, 1);
  const auto after = readback::Read("x.zip");
  EXPECT_EQ(Names(after), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(Contents(after)["a.txt"], (Bytes{'n', 'e', 'w', ' ', 'a'}));
  EXPECT_EQ(after.members[1].rawSpan, before.members[1].rawSpan);  // b.txt copied byte for byte
}

TEST_F(AddingToAnArchive, UpdateReplacesOlderAndAddsNew) {
  auto request = Request("x.zip", {"*.txt"});
  request.mode = AddMode::Update;
  EXPECT_EQ(Zip(request).added, 2);
  const auto after = readback::Read("x.zip");
  EXPECT_EQ(Names(after), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(Contents(after)["a.txt"], (Bytes{'n', 'e', 'w', ' ', 'a'}));
  EXPECT_EQ(after.members[1].rawSpan, before.members[1].rawSpan);
  // Nothing is newer now: a second update leaves the archive as it is.
  EXPECT_EQ(Zip(request).added, 0);
  EXPECT_EQ(readback::Read("x.zip").members[0].rawSpan, after.members[0].rawSpan);
}

TEST_F(AddingToAnArchive, AStopInTheMiddleLeavesTheOldArchive) {
  report.stopAtMember = 2;
  const auto outcome = Zip(Request("x.zip", {"*.txt"}));
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(outcome.added, 0);
  EXPECT_FALSE(report.Ended());
  EXPECT_EQ(readback::ReadFileBytes("x.zip"), beforeBytes);
  EXPECT_TRUE(folder.NamesHolding("~zt").empty());
}

TEST_F(AddingToAnArchive, AFileThatShrinksWhileWrittenFailsTheWholeRun) {
  report.onMember = [](int member) {
    if (member == 1) WriteText("c.txt", "");  // found with 1 byte, now empty
  };
  const auto outcome = Zip(Request("x.zip", {"*.txt"}));
  EXPECT_EQ(outcome.added, 0);
  ASSERT_EQ(report.Failures().size(), 1u);
  EXPECT_EQ(report.Failures()[0].code, kZipMessageFile);
  EXPECT_NE(report.Failures()[0].text.find("c.txt"), std::string::npos);
  EXPECT_TRUE(report.Ended());
  EXPECT_EQ(readback::ReadFileBytes("x.zip"), beforeBytes);
  EXPECT_TRUE(folder.NamesHolding("~zt").empty());
}

TEST_F(AddingToAnArchive, AFileThatVanishesKeepsItsOldMember) {
  report.onMember = [](int member) {
    if (member == 1) std::filesystem::remove("b.txt");
  };
  WriteText("b.txt", "newer b");
  const auto outcome = Zip(Request("x.zip", {"*.txt"}));
  EXPECT_EQ(outcome.added, 2);  // a.txt and c.txt
  ASSERT_EQ(report.Failures().size(), 1u);
  EXPECT_NE(report.Failures()[0].text.find("keeps its old member"), std::string::npos);
  const auto after = readback::Read("x.zip");
  EXPECT_EQ(Names(after), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(after.members[1].rawSpan, before.members[1].rawSpan);
}

// An archive of `members` empty stored members named m0, m1, ..., built
// byte by byte.
Bytes ArchiveOfEmptyMembers(std::size_t members) {
  Bytes out;
  Bytes directory;
  auto le = [](Bytes& b, std::uint32_t v, int width) {
    for (int i = 0; i < width; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  for (std::size_t i = 0; i < members; ++i) {
    std::string name = std::to_string(i);
    name.insert(name.begin(), 'm');
    const auto offset = static_cast<std::uint32_t>(out.size());
    const auto nameLength = static_cast<std::uint32_t>(name.size());
    // signature, version needed, flags, method, time, date (1980-01-01),
    // CRC-32, both sizes, name length, extra length
    for (const auto& [value, width] : std::initializer_list<std::pair<std::uint32_t, int>>{
             {0x04034b50, 4}, {10, 2}, {0, 2}, {0, 2}, {0, 2}, {0x21, 2}, {0, 4}, {0, 4}, {0, 4}, {nameLength, 2},
             {0, 2}}) {
      le(out, value, width);
    }
    out.insert(out.end(), name.begin(), name.end());
    // the same with version made by first, then comment length, disk,
    // internal and external attributes and the local header's offset
    for (const auto& [value, width] : std::initializer_list<std::pair<std::uint32_t, int>>{
             {0x02014b50, 4}, {20, 2}, {10, 2}, {0, 2}, {0, 2}, {0, 2}, {0x21, 2}, {0, 4}, {0, 4}, {0, 4},
             {nameLength, 2}, {0, 2}, {0, 2}, {0, 2}, {0, 2}, {0, 4}, {offset, 4}}) {
      le(directory, value, width);
    }
    directory.insert(directory.end(), name.begin(), name.end());
  }
  const auto directoryAt = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), directory.begin(), directory.end());
  le(out, 0x06054b50, 4), le(out, 0, 4), le(out, static_cast<std::uint32_t>(members), 2);
  le(out, static_cast<std::uint32_t>(members), 2), le(out, static_cast<std::uint32_t>(directory.size()), 4);
  le(out, directoryAt, 4), le(out, 0, 2);
  return out;
}

TEST_F(ZipEngine, MoreThan65535MembersIsRefusedWithoutZip64) {
  const Bytes full = ArchiveOfEmptyMembers(65535);
  WriteBytes("full.zip", full);
  WriteText("m7", "replaces a member: still 65535");
  EXPECT_EQ(Zip(Request("full.zip", {"m7"})).added, 1);
  EXPECT_TRUE(report.Failures().empty());
  const Bytes replaced = readback::ReadFileBytes("full.zip");

  WriteText("one-more.txt", "x");
  EXPECT_EQ(Zip(Request("full.zip", {"one-more.txt"})).added, 0);
  ASSERT_EQ(report.Failures().size(), 1u);
  EXPECT_EQ(report.Failures()[0].code, kZipMessageLimit);
  EXPECT_NE(report.Failures()[0].text.find("Zip64"), std::string::npos);
  EXPECT_EQ(readback::ReadFileBytes("full.zip"), replaced);
  EXPECT_TRUE(folder.NamesHolding("~zt").empty());
}

TEST_F(ZipEngine, ArchivesItCannotAddToAreLeftAlone) {
  WriteText("new.txt", "n");
  WriteText("good.txt", "g");
  Zip(Request("good.zip", {"good.txt"}));
  const Bytes good = readback::ReadFileBytes("good.zip");
  auto cut = [&](std::size_t from, std::size_t count) {
    Bytes b = good;
    b.erase(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + count));
    return b;
  };
  Bytes zip64 = good;
  const Bytes locator{0x50, 0x4b, 0x06, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  zip64.insert(zip64.end() - 22, locator.begin(), locator.end());
  Bytes lyingCount = good;
  lyingCount[good.size() - 12] = 2, lyingCount[good.size() - 14] = 2;
  Bytes badLocal = good;
  badLocal[0] = 'X';
  struct Row {
    const char* what;
    Bytes bytes;
    const char* reasonHolds;
  } const rows[] = {
      {"text", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'z', 'i', 'p'}, "not a zip archive"},
      {"empty file", Bytes{}, "not a zip archive"},
      {"no end record", cut(good.size() - 22, 22), "no end record"},
      {"cut central directory", cut(good.size() - 30, 4), "does not end where"},
      {"Zip64", zip64, "Zip64"},
      {"wrong count", lyingCount, "another number of entries"},
      {"no local header", badLocal, "no local header"},
  };
  for (const auto& row : rows) {
    WriteBytes("bad.zip", row.bytes);
    RecordingReport own;
    EXPECT_EQ(RunZip(Request("bad.zip", {"new.txt"}), own).added, 0) << row.what;
    ASSERT_EQ(own.Failures().size(), 1u) << row.what;
    EXPECT_EQ(own.Failures()[0].code, kZipMessageArchive) << row.what;
    EXPECT_NE(own.Failures()[0].text.find(row.reasonHolds), std::string::npos) << row.what << ": " << own.Failures()[0].text;
    EXPECT_EQ(readback::ReadFileBytes("bad.zip"), row.bytes) << row.what;
  }
  EXPECT_TRUE(folder.NamesHolding("~zt").empty());
}

#ifndef _WIN32
TEST_F(ZipEngine, ArchivesFromPythonKeepTheirMembersAndComment) {
  // py.zip as a seekable writer makes it; streamed.zip as one that cannot
  // seek, so that its member carries a data descriptor after its data.
  const std::string script =
      "import zipfile\n"
      "with zipfile.ZipFile('py.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
      "    z.comment = b'made by python'\n"
      "    z.writestr('kept/one.txt', 'one ' * 500)\n"
      "    z.writestr(zipfile.ZipInfo('kept/two.bin', (2001, 2, 3, 4, 5, 6)), bytes(range(256)))\n"
      "class Pipe:\n"
      "    def __init__(self, f): self.f = f\n"
      "    def write(self, b): return self.f.write(b)\n"
      "    def flush(self): pass\n"
      "with open('streamed.zip', 'wb') as f, zipfile.ZipFile(Pipe(f), 'w', zipfile.ZIP_DEFLATED) as z:\n"
      "    with z.open('streamed.txt', 'w') as m: m.write(b'streamed ' * 300)\n";
  WriteText("make.py", script);
  ASSERT_EQ(std::system("python3 make.py"), 0);
  std::string one;
  for (int i = 0; i < 500; ++i) one += "one ";
  WriteText("one.txt", one);
  Bytes two(256);
  for (int i = 0; i < 256; ++i) two[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  WriteBytes("two.bin", two);
  std::string streamed;
  for (int i = 0; i < 300; ++i) streamed += "streamed ";
  WriteText("streamed.txt", streamed);
  WriteText("added.txt", "added");

  const auto before = readback::Read("py.zip");
  const Bytes streamedBefore = readback::ReadFileBytes("streamed.zip");
  EXPECT_EQ(Zip(Request("py.zip", {"added.txt"})).added, 1);
  EXPECT_EQ(Zip(Request("streamed.zip", {"added.txt"})).added, 1);
  const auto after = readback::Read("py.zip");
  ASSERT_EQ(after.members.size(), 3u);
  EXPECT_EQ(after.members[0].rawSpan, before.members[0].rawSpan);
  EXPECT_EQ(after.members[1].rawSpan, before.members[1].rawSpan);
  EXPECT_EQ(after.comment, before.comment);
  // The streamed member is everything before the old central directory, its
  // data descriptor included: the new archive opens with those bytes.
  const std::size_t end = streamedBefore.size() - 22;
  const std::size_t memberBytes = static_cast<std::size_t>(streamedBefore[end + 16]) |
                                  static_cast<std::size_t>(streamedBefore[end + 17]) << 8;
  const Bytes streamedAfter = readback::ReadFileBytes("streamed.zip");
  ASSERT_GT(streamedAfter.size(), memberBytes);
  EXPECT_EQ(Bytes(streamedAfter.begin(), streamedAfter.begin() + static_cast<std::ptrdiff_t>(memberBytes)),
            Bytes(streamedBefore.begin(), streamedBefore.begin() + static_cast<std::ptrdiff_t>(memberBytes)));
  EXPECT_EQ(readback::Read("streamed.zip").members[1].name, "added.txt");
  ExpectIndependentReadersAgree({"py.zip"}, {{"kept/one.txt", "one.txt"}, {"kept/two.bin", "two.bin"}, {"added.txt", "added.txt"}});
  ExpectIndependentReadersAgree({"streamed.zip"}, {{"streamed.txt", "streamed.txt"}, {"added.txt", "added.txt"}});
}

TEST_F(ZipEngine, NamesWindowsCannotHoldAndUnreadableFilesAreRefused) {
  WriteText("fine.txt", "f");
  WriteText("con.txt", "device");
  WriteText("ab:c.txt", "stream");
  WriteText("dot.", "dot");
  std::filesystem::create_symlink("no-such-target", "dangling.txt");
  std::filesystem::create_directories("loop");
  std::filesystem::create_directory_symlink("..", "loop/up");  // never walked
  auto request = Request("w.zip", {"*"});
  request.recurse = true;
  EXPECT_EQ(Zip(request).added, 1);
  EXPECT_EQ(Names(readback::Read("w.zip")), (std::vector<std::string>{"fine.txt"}));
  std::map<std::int32_t, int> codes;
  for (const auto& failure : report.Failures()) ++codes[failure.code];
  EXPECT_EQ(codes[kZipMessageName], 3);
  EXPECT_EQ(codes[kZipMessageFile], 1);  // the dangling link
}
#endif

}  // namespace
