// The parameter record in, the engine run, the callback records out.
#include "unzdll/dll/UnzipCall.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "unzdll/engine/UnzipEngine.h"

namespace {

// A NUL-terminated text in a buffer of the caller's; empty when the buffer
// holds no NUL (a text too long for it is refused, never cut short).
std::optional<std::string> BufferText(const char* buffer, std::size_t bufferSize) {
  if (buffer == nullptr) return std::nullopt;
  const void* end = std::memchr(buffer, '\0', bufferSize);
  if (end == nullptr) return std::nullopt;
  return std::string(buffer, static_cast<const char*>(end));
}

bool Flag(std::int32_t value) { return value != kUnzipFalse; }

// The options the record asks for, or the reason it is refused.
std::optional<UnzipOptions> ReadParams(const UnzipParams& params, std::string& refusal) {
  UnzipOptions options;
  const std::optional<std::string> archive = BufferText(params.ZipFilename, kUnzipPathBufferSize);
  if (!archive || archive->empty()) {
    refusal = "no archive name given, or one longer than 255 characters";
    return std::nullopt;
  }
  options.archivePath = *archive;
  if (params.Password != nullptr) {
    const std::optional<std::string> password = BufferText(params.Password, kUnzipPasswordBufferSize);
    if (!password) {
      refusal = "the password is longer than 80 characters";
      return std::nullopt;
    }
    options.password = *password;
  }
  if (params.SpecCount < 0 || static_cast<std::size_t>(params.SpecCount) > kUnzipMaxSpecs) {
    refusal = "the number of file specifications is out of range";
    return std::nullopt;
  }
  for (std::int32_t i = 0; i < params.SpecCount; ++i) {
    const std::optional<std::string> spec = BufferText(params.FileSpecs[i], kUnzipSpecBufferSize);
    if (!spec) {
      refusal = "file specification " + std::to_string(i + 1) + " is missing or longer than 255 characters";
      return std::nullopt;
    }
    options.specifications.push_back(*spec);
  }
  options.test = Flag(params.TestFlag);
  options.verbose = Flag(params.VerboseFlag);
  options.update = Flag(params.UpdateFlag);
  options.freshen = Flag(params.FreshenFlag) && !options.update;
  options.folderNames = Flag(params.DirNamesFlag);
  options.overwrite = Flag(params.OverwriteFlag);
  return options;
}

// Hands one event to the caller's callback; false when it answers stop.
bool CallBack(const UnzipParams& params, const UnzipEvent& event) {
  if (params.Callback == nullptr) return true;
  UnzipCallbackRecord record{};
  record.Caller = params.Caller;
  record.ActionCode = static_cast<std::int32_t>(event.action);
  record.ErrorCode = static_cast<std::int32_t>(event.errorCode);
  record.FileSize = static_cast<std::int32_t>(std::min<std::int64_t>(event.size, std::numeric_limits<std::int32_t>::max()));
  const std::size_t length = std::min(event.text.size(), kCallbackTextSize - 1);
  std::memcpy(record.Text, event.text.data(), length);
  return params.Callback(&record) != kCallbackStop;
}

}  // namespace

std::int32_t RunUnzipCall(UnzipParams* params) noexcept {
  if (params == nullptr) return 0;
  try {
    std::string refusal;
    const std::optional<UnzipOptions> options = ReadParams(*params, refusal);
    const UnzipReporter report = [params](const UnzipEvent& event) { return CallBack(*params, event); };
    if (!options) {
      if (report({UnzipAction::Message, UnzipError::ArchiveRefused, 0, "Call refused: " + refusal}))
        report({UnzipAction::BatchEnd, UnzipError::None, 0, ""});
      return 0;
    }
    return RunUnzip(*options, report);
  } catch (...) {
    // Nothing may cross the library's boundary; what the engine extracted
    // before such a failure stays on disk, sound.
    return 0;
  }
}
