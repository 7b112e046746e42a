// The unzip library's side of TZipMaster without a library: the parameter
// record's fixed part, the per-call buffers and their limits, and the
// callback's mapping of reports to events.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "base/Exception.h"
#include "zip/UnzipCallBuffers.h"
#include "zip/ZipMstr.h"
#include "zip/tests/ZipTestSupport.h"

namespace {

using Names = std::vector<std::string>;

TEST(UnzipParamsFill, CarriesTheMainWindowsSettings) {
  int window = 0;
  ziptest::FakeForm form(&window);
  auto* zip = new TZipMaster(&form);
  zip->SetExtrOptions({ExtrOverWrite});
  zip->FillUnzipParams();
  const UnzipParams& p = zip->Params();
  EXPECT_EQ(p.OwnerWindow, &window);
  EXPECT_EQ(p.Caller, zip);
  EXPECT_EQ(p.Version, 140);
  EXPECT_EQ(p.Callback, &TZipMaster::UnzipCallback);
  EXPECT_EQ(p.TraceFlag, 0);
  EXPECT_EQ(p.Reserved20, 0);
  EXPECT_EQ(p.TestFlag, 0);
  EXPECT_EQ(p.FixedFlag32, 0);
  EXPECT_EQ(p.FixedFlag36, 0);
  EXPECT_EQ(p.FixedFlag40, -1);
  EXPECT_EQ(p.VerboseFlag, 0);
  EXPECT_EQ(p.UpdateFlag, 0);
  EXPECT_EQ(p.FreshenFlag, 0);
  EXPECT_EQ(p.DirNamesFlag, 0);
  EXPECT_EQ(p.OverwriteFlag, -1);
  EXPECT_EQ(p.Constant72, 7);
}

TEST(UnzipParamsFill, TraceForcesVerboseAndUpdateClearsFreshen) {
  TZipMaster zip(nullptr);
  zip.SetTrace(true);
  zip.SetExtrOptions({ExtrDirNames, ExtrFreshen, ExtrUpdate, ExtrTest});
  zip.FillUnzipParams();
  EXPECT_EQ(zip.Params().TraceFlag, -1);
  EXPECT_EQ(zip.Params().VerboseFlag, -1);
  EXPECT_EQ(zip.Params().FreshenFlag, 0);
  EXPECT_EQ(zip.Params().UpdateFlag, -1);
  EXPECT_EQ(zip.Params().DirNamesFlag, -1);
  EXPECT_EQ(zip.Params().TestFlag, -1);
  EXPECT_EQ(zip.Params().OverwriteFlag, 0);

  // Filled afresh each time.
  zip.SetTrace(false);
  zip.SetVerbose(true);
  zip.SetExtrOptions({ExtrFreshen});
  zip.FillUnzipParams();
  EXPECT_EQ(zip.Params().TraceFlag, 0);
  EXPECT_EQ(zip.Params().VerboseFlag, -1);
  EXPECT_EQ(zip.Params().FreshenFlag, -1);
  EXPECT_EQ(zip.Params().UpdateFlag, 0);
  EXPECT_EQ(zip.Params().TestFlag, 0);
}

TEST(UnzipCallBuffers, HoldEachTextNulTerminatedInItsBuffer) {
  auto params = std::make_unique<UnzipParams>();
  const Names specs = {"*.txt", std::string(255, 's')};
  UnzipCallBuffers buffers(*params, "C:\\tmp\\~fs1.zip", "", specs);
  EXPECT_STREQ(params->ZipFilename, "C:\\tmp\\~fs1.zip");
  EXPECT_STREQ(params->Password, "");
  ASSERT_EQ(params->SpecCount, 2);
  EXPECT_STREQ(params->FileSpecs[0], "*.txt");
  EXPECT_EQ(std::strlen(params->FileSpecs[1]), 255u);
  EXPECT_EQ(params->FileSpecs[2], nullptr);
}

TEST(UnzipCallBuffers, RefuseTextsTooLongForTheirBuffers) {
  const std::string path255(255, 'p');
  const std::string password80(80, 'w');
  const Names specs4097(4097, "*");
  EXPECT_FALSE(UnzipCallBuffers::Refusal(path255, password80, specs4097));
  EXPECT_EQ(UnzipCallBuffers::Refusal(path255 + "p", "", {}), kZipFilenameTooLong);
  EXPECT_EQ(UnzipCallBuffers::Refusal("a.zip", password80 + "w", {}), kPasswordTooLong);
  EXPECT_EQ(UnzipCallBuffers::Refusal("a.zip", "", Names(4098, "*")), kTooManyFileSpecs);
  EXPECT_EQ(UnzipCallBuffers::Refusal("a.zip", "", {"ok", std::string(256, 'x')}),
            "Error - file specification longer than 255 characters: " + std::string(256, 'x'));

  auto params = std::make_unique<UnzipParams>();
  EXPECT_THROW(UnzipCallBuffers(*params, "a.zip", password80 + "w", {}), Exception);
  const UnzipCallBuffers all(*params, path255, password80, specs4097);
  EXPECT_EQ(params->SpecCount, 4097);
  EXPECT_STREQ(params->FileSpecs[4096], "*");
}

TEST(StripLineEnd, ReplacesTheLastTwoLineEndCharactersByNul) {
  const struct {
    std::string in, out;
  } rows[] = {
      {"", ""},
      {"done\r\n", std::string("done\0\0", 6)},
      {"done\n", std::string("done\0", 5)},
      {"done\r", std::string("done\0", 5)},
      {"\n", std::string("\0", 1)},
      {"\r\n", std::string("\0\0", 2)},
      {"ab\nc", std::string("ab\0c", 4)},
      {"a\n\n\n", std::string("a\n\0\0", 4)},
      {"plain", "plain"},
  };
  for (const auto& row : rows) EXPECT_EQ(TZipMaster::StripLineEnd(row.in), row.out) << row.in;
}

class UnzipCallbackTest : public ::testing::Test {
 protected:
  UnzipCallbackTest() {
    zip.SetOnProgress([this](TComponent* sender, ProgressType type, const std::string& name, std::int32_t size) {
      EXPECT_EQ(sender, &zip);
      progress.push_back(std::to_string(type) + "|" + name + "|" + std::to_string(size));
    });
    zip.SetOnMessage([this](TComponent* sender, std::int32_t code, const std::string& text) {
      EXPECT_EQ(sender, &zip);
      messages.push_back(std::to_string(code) + "|" + text);
    });
  }

  std::int32_t Call(std::int32_t action, std::int32_t code, std::int32_t size, const std::string& text) {
    record = {};
    record.Caller = &zip;
    record.ActionCode = action;
    record.ErrorCode = code;
    record.FileSize = size;
    std::memcpy(record.Text, text.data(), std::min(text.size(), sizeof record.Text));
    return TZipMaster::UnzipCallback(&record);
  }

  TZipMaster zip{nullptr};
  UnzipCallbackRecord record{};
  Names progress;
  Names messages;
};

TEST_F(UnzipCallbackTest, MapsActionCodesToEvents) {
  EXPECT_EQ(Call(1, 0, 1234, "TAV Quillbox.exe"), 0);
  EXPECT_EQ(Call(2, 5, 99, "ignored"), 0);
  EXPECT_EQ(Call(3, 5, 99, "ignored"), 0);
  EXPECT_EQ(Call(4, 11, 0, "CRC error\r\n"), 0);
  EXPECT_EQ(Call(17, -3, 0, "later\n"), 0);
  EXPECT_EQ(Call(0, 1, 1, "nothing"), 0);
  EXPECT_EQ(Call(-5, 1, 1, "nothing"), 0);
  EXPECT_EQ(progress, (Names{"0|TAV Quillbox.exe|1234", "1| |0", "2| |0"}));
  EXPECT_EQ(messages, (Names{std::string("11|CRC error\0\0", 14), std::string("-3|later\0", 9)}));
}

TEST_F(UnzipCallbackTest, ReadsTheTextNoFurtherThanItsArea) {
  Call(1, 0, 1, std::string(600, 'n'));
  ASSERT_EQ(progress.size(), 1u);
  EXPECT_EQ(progress[0], "0|" + std::string(kCallbackTextSize, 'n') + "|1");
}

TEST_F(UnzipCallbackTest, WithoutHandlersOnlyAnswers) {
  TZipMaster bare(nullptr);
  UnzipCallbackRecord r{};
  r.Caller = &bare;
  for (std::int32_t action : {1, 2, 3, 4, 9}) {
    r.ActionCode = action;
    EXPECT_EQ(TZipMaster::UnzipCallback(&r), 0);
  }
}

TEST_F(UnzipCallbackTest, AnswersStopWhileCancelIsRequested) {
  zip.SetCancelRequest(true);
  for (std::int32_t action : {-1, 0, 1, 2, 3, 4, 100}) EXPECT_EQ(Call(action, 0, 0, "x"), -1) << action;
  zip.SetCancelRequest(false);
  EXPECT_EQ(Call(2, 0, 0, ""), 0);
}

TEST_F(UnzipCallbackTest, AHandlersExceptionStaysInsideAndStopsTheLibrary) {
  zip.SetOnMessage([](TComponent*, std::int32_t, const std::string&) { throw std::runtime_error("handler"); });
  EXPECT_EQ(Call(4, 1, 0, "boom"), -1);
  // Later reports are not dispatched any more, and still answered with stop.
  EXPECT_EQ(Call(1, 0, 5, "after"), -1);
  EXPECT_TRUE(progress.empty());
}

TEST_F(UnzipCallbackTest, ARecordWithoutCallerIsAskedToStop) {
  EXPECT_EQ(TZipMaster::UnzipCallback(nullptr), -1);
  UnzipCallbackRecord r{};
  r.ActionCode = 1;
  EXPECT_EQ(TZipMaster::UnzipCallback(&r), -1);
}

}  // namespace
