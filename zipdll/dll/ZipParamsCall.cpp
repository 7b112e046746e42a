// From the parameter record to the engine and from its reports to callbacks.
#include "zipdll/dll/ZipParamsCall.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "zipdll/engine/ZipEngine.h"

namespace {

// The text of a caller's buffer, read no further than the buffer's size.
std::optional<std::string> BufferText(const char* buffer) {
  if (buffer == nullptr) return std::nullopt;
  const void* nul = std::memchr(buffer, 0, kZipTextBufferSize);
  if (nul == nullptr) return std::nullopt;
  return std::string(buffer, static_cast<const char*>(nul));
}

bool IsTrue(std::int32_t flag) { return flag != kZipFalse; }

class CallbackReport : public ZipReport {
 public:
  explicit CallbackReport(const ZipParams& params) : params_(params) {}

  bool MemberStart(const std::string& memberName, std::uint64_t size) override {
    const auto reported = static_cast<std::int32_t>(std::min<std::uint64_t>(size, INT32_MAX));
    return Send(kCallbackFileStart, 0, reported, memberName);
  }
  bool Step() override { return Send(kCallbackStep, 0, 0, ""); }
  void BatchEnd() override { Send(kCallbackBatchEnd, 0, 0, ""); }
  bool Message(std::int32_t code, const std::string& text) override { return Send(kCallbackMessage, code, 0, text); }

 private:
  bool Send(std::int32_t action, std::int32_t code, std::int32_t size, const std::string& text) {
    if (params_.Callback == nullptr) return true;
    UnzipCallbackRecord record{};
    record.Caller = params_.Caller;
    record.ActionCode = action;
    record.ErrorCode = code;
    record.FileSize = size;
    // Longer texts are cut; the record always ends its text with a NUL.
    const std::size_t length = std::min(text.size(), kCallbackTextSize - 1);
    std::memcpy(record.Text, text.data(), length);
    return params_.Callback(&record) != kCallbackStop;
  }

  const ZipParams& params_;
};

// The request the record asks for, or why it cannot be taken.
std::optional<ZipRequest> RequestFrom(const ZipParams& params, std::string& refusal) {
  if (params.SpecCount < 1 || params.SpecCount > static_cast<std::int32_t>(kZipMaxSpecs)) {
    refusal = "The number of file specifications, " + std::to_string(params.SpecCount) + ", is not one of 1 to 4097";
    return std::nullopt;
  }
  ZipRequest request;
  const auto archive = BufferText(params.ZipFilename);
  if (!archive) {
    refusal = "The archive name is missing or longer than 255 characters";
    return std::nullopt;
  }
  request.archive = *archive;
  for (std::int32_t i = 0; i < params.SpecCount; ++i) {
    const auto spec = BufferText(params.FileSpecs[i]);
    if (!spec) {
      refusal = "File specification " + std::to_string(i + 1) + " is missing or longer than 255 characters";
      return std::nullopt;
    }
    request.specs.push_back(*spec);
  }
  request.level = params.Level;
  request.folderNames = IsTrue(params.DirNamesFlag);
  request.recurse = IsTrue(params.RecurseFlag);
  request.mode = IsTrue(params.UpdateFlag)    ? AddMode::Update
                 : IsTrue(params.FreshenFlag) ? AddMode::Freshen
                                              : AddMode::Add;
  request.trace = IsTrue(params.TraceFlag);
  request.verbose = IsTrue(params.VerboseFlag) || request.trace;
  return request;
}

std::int32_t Execute(const ZipParams& params) {
  CallbackReport report(params);
  if (params.Version != kZipInterfaceVersion) {
    if (report.Message(kZipMessageParameters, "Interface version " + std::to_string(params.Version) +
                                                  " is not the library's " + std::to_string(kZipInterfaceVersion))) {
      report.BatchEnd();
    }
    return 0;
  }
  std::string refusal;
  const auto request = RequestFrom(params, refusal);
  if (!request) {
    if (report.Message(kZipMessageParameters, refusal)) report.BatchEnd();
    return 0;
  }
  return RunZip(*request, report).added;
}

}  // namespace

std::int32_t ExecuteZipParams(const ZipParams* params) noexcept {
  if (params == nullptr) return 0;
  try {
    return Execute(*params);
  } catch (...) {
    // A callback that raised, or memory that ran out while reporting: the
    // engine has already removed its temporary archive on the way out.
    return 0;
  }
}
