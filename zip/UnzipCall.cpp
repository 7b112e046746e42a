// The unzip library's side of TZipMaster that needs no system call: the
// parameter record's fixed part and the callback that turns the library's
// reports into events.
#include <algorithm>

#include "zip/ZipMstr.h"

namespace {

std::int32_t Flag(bool value) { return value ? kUnzipTrue : kUnzipFalse; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The record's text up to its first NUL, never beyond the text area.
std::string RecordText(const UnzipCallbackRecord& record) {
  return std::string(record.Text, std::find(record.Text, record.Text + sizeof record.Text, '\0'));
}

}  // namespace

void TZipMaster::FillUnzipParams() {
  UnzipParams& params = unzipParams_;
  params.OwnerWindow = ownerWindow_;
  params.Caller = this;
  params.Version = kUnzipInterfaceVersion;
  params.Callback = &TZipMaster::UnzipCallback;
  params.TraceFlag = Flag(trace_);
  params.VerboseFlag = Flag(verbose_ || trace_);
  params.FixedFlag32 = kUnzipFalse;
  params.FixedFlag36 = kUnzipFalse;
  params.FixedFlag40 = kUnzipTrue;
  params.Constant72 = kUnzipConstant72;
  params.DirNamesFlag = Flag(extrOptions_.Contains(ExtrDirNames));
  params.OverwriteFlag = Flag(extrOptions_.Contains(ExtrOverWrite));
  params.UpdateFlag = Flag(extrOptions_.Contains(ExtrUpdate));
  // Update already replaces older files; freshen would only narrow it.
  params.FreshenFlag = Flag(extrOptions_.Contains(ExtrFreshen) && !extrOptions_.Contains(ExtrUpdate));
  params.TestFlag = Flag(extrOptions_.Contains(ExtrTest));
}

std::string TZipMaster::StripLineEnd(std::string text) {
  if (text.empty()) return text;
  const std::size_t last = text.size() - 1;
  if (IsLineEnd(text[last])) text[last] = '\0';
  if (text.size() > 1 && IsLineEnd(text[last - 1])) text[last - 1] = '\0';
  return text;
}

void TZipMaster::DispatchCallback(const UnzipCallbackRecord& record) {
  const std::int32_t action = record.ActionCode;
  if (action == kCallbackFileStart && onProgress_) {
    onProgress_(this, PrgFileStart, RecordText(record), record.FileSize);
  } else if (action == kCallbackStep && onProgress_) {
    onProgress_(this, PrgStep, " ", 0);
  } else if (action == kCallbackBatchEnd && onProgress_) {
    onProgress_(this, PrgBatchEnd, " ", 0);
  } else if (action >= kCallbackMessage && onMessage_) {
    onMessage_(this, record.ErrorCode, StripLineEnd(RecordText(record)));
  }
}

// Called by the library across a module boundary that no exception may
// cross: a handler's exception is kept as a flag, and the library is asked
// to stop.
std::int32_t TAV_STDCALL TZipMaster::UnzipCallback(UnzipCallbackRecord* record) {
  if (record == nullptr || record->Caller == nullptr) return kCallbackStop;
  auto* zip = static_cast<TZipMaster*>(record->Caller);
  if (!zip->handlerFailed_) {
    try {
      zip->DispatchCallback(*record);
    } catch (...) {
      zip->handlerFailed_ = true;
    }
  }
  return zip->cancelRequest_ || zip->handlerFailed_ ? kCallbackStop : kCallbackGoOn;
}
