// The parameter record as ZipDllExec receives it: what is refused, how the
// engine's reports reach the callback, and that nothing escapes the call.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ReadBack.h"
#include "ScratchFolder.h"
#include "zip/ZIPDLL.h"
#include "zipdll/dll/ZipParamsCall.h"

namespace {

struct Calls {
  std::vector<UnzipCallbackRecord> records;
  int stopAtAction = 0;  // answer stop to the first report with this action
  bool raise = false;
};

std::int32_t TAV_STDCALL Callback(UnzipCallbackRecord* record) {
  auto* calls = static_cast<Calls*>(record->Caller);
  calls->records.push_back(*record);
  if (calls->raise) throw std::runtime_error("raised by the caller's callback");
  return record->ActionCode == calls->stopAtAction ? kCallbackStop : kCallbackGoOn;
}

// A record with its own text buffers, filled as a caller fills it.
class Record {
 public:
  Record(const std::string& archive, const std::vector<std::string>& specs) {
    std::memset(&params, 0, sizeof params);
    params.Caller = &calls;
    params.Version = kZipInterfaceVersion;
    params.Callback = Callback;
    params.Level = 9;
    params.DirNamesFlag = kZipTrue;
    params.ZipFilename = Text(archive);
    for (const auto& spec : specs) params.FileSpecs[params.SpecCount++] = Text(spec);
  }

  char* Text(const std::string& text) {
    buffers_.push_back(std::make_unique<char[]>(kZipTextBufferSize));
    std::memset(buffers_.back().get(), 'x', kZipTextBufferSize);
    std::memcpy(buffers_.back().get(), text.c_str(), std::min(text.size() + 1, kZipTextBufferSize));
    return buffers_.back().get();
  }

  std::vector<const UnzipCallbackRecord*> Messages() const {
    std::vector<const UnzipCallbackRecord*> out;
    for (const auto& r : calls.records) {
      if (r.ActionCode >= kCallbackMessage) out.push_back(&r);
    }
    return out;
  }

  ZipParams params;
  Calls calls;

 private:
  std::vector<std::unique_ptr<char[]>> buffers_;
};

class ZipParamsCall : public ::testing::Test {
 protected:
  ScratchFolder folder;
};

TEST_F(ZipParamsCall, ACallMakesTheArchiveAndReportsThroughTheCallback) {
  WriteText("sub/a.txt", std::string(100000, 'a'));
  WriteText("sub/b.txt", "b");
  Record record("made.zip", {"sub/*.txt"});
  record.params.DirNamesFlag = kZipFalse;
  EXPECT_EQ(ExecuteZipParams(&record.params), 2);
  const auto read = readback::Read("made.zip");
  ASSERT_EQ(read.members.size(), 2u);
  EXPECT_EQ(read.members[0].name, "a.txt");
  EXPECT_EQ(read.members[1].name, "b.txt");

  std::vector<std::int32_t> actions;
  for (const auto& r : record.calls.records) {
    actions.push_back(r.ActionCode);
    EXPECT_EQ(r.Caller, &record.calls);
  }
  EXPECT_EQ(actions, (std::vector<std::int32_t>{1, 2, 2, 1, 2, 3}));
  EXPECT_STREQ(record.calls.records[0].Text, "a.txt");
  EXPECT_EQ(record.calls.records[0].FileSize, 100000);
  EXPECT_STREQ(record.calls.records[3].Text, "b.txt");
}

TEST_F(ZipParamsCall, FlagsReachTheEngine) {
  WriteText("old.txt", "old");
  SetAge("old.txt", std::chrono::hours(-48));
  Record first("f.zip", {"old.txt"});
  first.params.Level = 0;
  ASSERT_EQ(ExecuteZipParams(&first.params), 1);
  EXPECT_EQ(readback::Read("f.zip").members[0].method, 0);

  WriteText("new.txt", "new");
  Record freshen("f.zip", {"*.txt"});
  freshen.params.FreshenFlag = kZipTrue;
  EXPECT_EQ(ExecuteZipParams(&freshen.params), 0);  // nothing newer, nothing new taken
  Record both("f.zip", {"*.txt"});
  both.params.FreshenFlag = kZipTrue;
  both.params.UpdateFlag = kZipTrue;  // update wins
  EXPECT_EQ(ExecuteZipParams(&both.params), 1);
  EXPECT_EQ(readback::Read("f.zip").members.size(), 2u);

  WriteText("deep/er/x.txt", "x");
  Record recurse("r.zip", {"x.txt"});
  recurse.params.RecurseFlag = 1;  // any non-zero value is true
  recurse.params.VerboseFlag = kZipTrue;
  EXPECT_EQ(ExecuteZipParams(&recurse.params), 1);
  EXPECT_EQ(readback::Read("r.zip").members[0].name, "deep/er/x.txt");
  ASSERT_EQ(recurse.Messages().size(), 1u);
  EXPECT_EQ(recurse.Messages()[0]->ErrorCode, kZipMessageInfo);
  EXPECT_NE(std::string(recurse.Messages()[0]->Text).find("deep/er/x.txt"), std::string::npos);
}

TEST_F(ZipParamsCall, UnusableRecordsAreRefusedWithAMessage) {
  WriteText("a.txt", "a");
  struct Row {
    const char* what;
    void (*spoil)(Record&);
  } const rows[] = {
      {"version", [](Record& r) { r.params.Version = 139; }},
      {"no specification", [](Record& r) { r.params.SpecCount = 0; }},
      {"negative count", [](Record& r) { r.params.SpecCount = -1; }},
      {"too many", [](Record& r) { r.params.SpecCount = static_cast<std::int32_t>(kZipMaxSpecs) + 1; }},
      {"no archive name", [](Record& r) { r.params.ZipFilename = nullptr; }},
      {"archive name without NUL", [](Record& r) { r.params.ZipFilename = r.Text(std::string(300, 'n')); }},
      {"null specification", [](Record& r) { r.params.FileSpecs[0] = nullptr; }},
      {"specification without NUL", [](Record& r) { r.params.FileSpecs[0] = r.Text(std::string(256, 's')); }},
  };
  for (const auto& row : rows) {
    Record record("p.zip", {"a.txt"});
    row.spoil(record);
    EXPECT_EQ(ExecuteZipParams(&record.params), 0) << row.what;
    ASSERT_EQ(record.Messages().size(), 1u) << row.what;
    EXPECT_EQ(record.Messages()[0]->ErrorCode, kZipMessageParameters) << row.what;
    EXPECT_EQ(record.calls.records.back().ActionCode, kCallbackBatchEnd) << row.what;
  }
  EXPECT_FALSE(std::filesystem::exists("p.zip"));
  EXPECT_EQ(ExecuteZipParams(nullptr), 0);
}

#ifndef _WIN32
// Native only: under Windows the scratch folder's path plus 255 characters
// passes MAX_PATH.
TEST_F(ZipParamsCall, TextsOf255CharactersAreTaken) {
  const std::string file = std::string(251, 'f') + ".txt";
  const std::string archive = std::string(251, 'z') + ".zip";
  WriteText(file, "long");
  Record record(archive, {file});
  EXPECT_EQ(ExecuteZipParams(&record.params), 1);
  EXPECT_EQ(readback::Read(archive).members[0].name, file);
}

TEST_F(ZipParamsCall, LongMessagesAreCutToTheTextArea) {
  const std::string deep = std::string(200, 'a') + "/" + std::string(200, 'b') + "/" + std::string(200, 'c');
  WriteText(deep + "/refused.", "a name that ends in a dot");
  Record record("m.zip", {"*"});
  record.params.RecurseFlag = kZipTrue;
  ExecuteZipParams(&record.params);
  ASSERT_EQ(record.Messages().size(), 2u);  // the refusal, then "nothing to do"
  const std::string text = record.Messages()[0]->Text;
  EXPECT_EQ(text.size(), kCallbackTextSize - 1);
  EXPECT_EQ(text.substr(0, 9), "Refused \"");
}
#endif

TEST_F(ZipParamsCall, StoppingLeavesNoArchive) {
  WriteText("a.txt", std::string(200000, 'a'));
  Record record("s.zip", {"a.txt"});
  record.calls.stopAtAction = kCallbackStep;
  EXPECT_EQ(ExecuteZipParams(&record.params), 0);
  EXPECT_EQ(record.calls.records.back().ActionCode, kCallbackStep);  // nothing after the stop
  EXPECT_FALSE(std::filesystem::exists("s.zip"));
  EXPECT_TRUE(folder.NamesHolding("~zt").empty());
}

TEST_F(ZipParamsCall, ACallbackThatRaisesEndsTheCallQuietly) {
  WriteText("a.txt", "a");
  Record record("e.zip", {"a.txt"});
  record.calls.raise = true;
  EXPECT_EQ(ExecuteZipParams(&record.params), 0);
  EXPECT_FALSE(std::filesystem::exists("e.zip"));
  EXPECT_TRUE(folder.NamesHolding("~zt").empty());
}

}  // namespace
