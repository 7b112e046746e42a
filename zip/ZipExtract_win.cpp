// TZipMaster::Extract: one extraction through the unzip library, which is
// loaded for the call when it is not loaded already.
#include <windows.h>

#include <optional>

#include "base/FileSystem.h"
#include "base/UserMessage.h"
#include "zip/SystemExceptionGuard_win.h"
#include "zip/UnzipCallBuffers.h"
#include "zip/UnzipLibrary_win.h"
#include "zip/ZipMstr.h"

namespace {

constexpr char kNoZipFileSpecified[] = "Error - no zip file specified";
constexpr char kFatalDllError[] = "Fatal DLL Error: abort exception";

struct LibraryCall {
  UnzDllExecFunction unzDllExec;
  UnzipParams* params;
  std::int32_t result = 0;
  bool raised = false;
};

void RunLibraryCall(void* context) {
  auto& call = *static_cast<LibraryCall*>(context);
  try {
    call.result = call.unzDllExec(call.params);
  } catch (...) {
    call.raised = true;
  }
}

enum class CallOutcome {
  Returned,
  Failed,     // no entry point, or a C++ exception: the library's frames were unwound
  Abandoned,  // a system exception: its frames were left, its threads may still run
};

CallOutcome CallUnzDllExec(UnzDllExecFunction unzDllExec, UnzipParams& params, std::int32_t& result) {
  if (unzDllExec == nullptr) return CallOutcome::Failed;
  LibraryCall call{unzDllExec, &params};
  if (!CallGuardingSystemExceptions(RunLibraryCall, &call)) return CallOutcome::Abandoned;
  if (call.raised) return CallOutcome::Failed;
  result = call.result;
  return CallOutcome::Returned;
}

// Unloads the library on every way out of Extract (a message presenter or
// an allocation may raise) when this call loaded it.
class LoadedForThisCall {
 public:
  explicit LoadedForThisCall(bool loads) : loads_(loads) {}
  ~LoadedForThisCall() {
    if (loads_) TZipMaster::UnloadUnzipLibrary();
  }
  LoadedForThisCall(const LoadedForThisCall&) = delete;
  LoadedForThisCall& operator=(const LoadedForThisCall&) = delete;

 private:
  bool loads_;
};

// Clears the busy state on every way out, also when a message presenter raised.
class ExtractingScope {
 public:
  ExtractingScope(bool& extracting, bool& cancelRequest) : extracting_(extracting), cancelRequest_(cancelRequest) {
    extracting_ = true;
    cancelRequest_ = false;
  }
  ~ExtractingScope() {
    cancelRequest_ = false;
    extracting_ = false;
  }
  ExtractingScope(const ExtractingScope&) = delete;
  ExtractingScope& operator=(const ExtractingScope&) = delete;

 private:
  bool& extracting_;
  bool& cancelRequest_;
};

}  // namespace

void TZipMaster::Extract() {
  resultCount_ = 0;
  if (!FileExistsAt(zipFilename_)) {
    ShowMessage(kNoZipFileSpecified);
    return;
  }
  if (extracting_) return;
  if (const auto refusal = UnzipCallBuffers::Refusal(zipFilename_, password_, fSpecArgs_)) {
    ShowMessage(*refusal);
    return;
  }
  ExtractingScope busy(extracting_, cancelRequest_);
  handlerFailed_ = false;

  const LoadedForThisCall loaded(!UnzipLibraryLoaded());
  if (!UnzipLibraryLoaded()) {
    LoadUnzipLibrary();
    if (!UnzipLibraryLoaded()) return;
  }
  // The library writes the members relative to the current folder, which
  // stays the destination afterwards.
  if (FolderExistsAt(extrBaseDir_)) SetCurrentDirectoryA(extrBaseDir_.c_str());

  FillUnzipParams();
  {
    const UnzipCallBuffers buffers(unzipParams_, zipFilename_, password_, fSpecArgs_);
    std::int32_t result = 0;
    const CallOutcome outcome = CallUnzDllExec(UnzipLibrary().UnzDllExec, unzipParams_, result);
    // Unloading a library whose threads may still run in it would pull
    // their code from under them.
    if (outcome == CallOutcome::Abandoned) PinUnzipLibrary();
    if (outcome == CallOutcome::Returned && !handlerFailed_) {
      resultCount_ = result;
    } else {
      ShowMessage(kFatalDllError);
    }
    fSpecArgs_.clear();
  }
}
