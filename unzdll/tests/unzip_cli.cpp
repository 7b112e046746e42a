// A command-line driver of the unzip library's interface call, for the
// tests: builds an UnzipParams record from its arguments, calls
// RunUnzipCall (what UnzDllExec runs) and prints every callback record.
//
//   unzip_cli [options] ARCHIVE [SPEC...]
//     --into DIR     make DIR the current folder first (as the caller does)
//     --test --dirs --overwrite --freshen --update --verbose   the flags
//     --password P   the password
//     --stop-at N    answer stop to the N-th callback
//
// Output, one line per callback: "1 SIZE NAME", "2", "3", "4 CODE TEXT";
// then "result N".
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "unzdll/dll/UnzipCall.h"

namespace {

int stopAt = 0;
int calls = 0;
int callerTag = 0;

std::int32_t TAV_STDCALL PrintRecord(UnzipCallbackRecord* record) {
  if (record->Caller != &callerTag) std::printf("wrong caller\n");
  if (record->ActionCode == kCallbackFileStart)
    std::printf("1 %d %s\n", record->FileSize, record->Text);
  else if (record->ActionCode >= kCallbackMessage)
    std::printf("%d %d %s\n", record->ActionCode, record->ErrorCode, record->Text);
  else
    std::printf("%d\n", record->ActionCode);
  return ++calls == stopAt ? kCallbackStop : kCallbackGoOn;
}

// A caller's buffer of the interface's size holding text.
std::unique_ptr<char[]> Buffer(const std::string& text, std::size_t size) {
  auto buffer = std::make_unique<char[]>(size);
  std::strncpy(buffer.get(), text.c_str(), size - 1);
  return buffer;
}

}  // namespace

int main(int argc, char** argv) {
  auto params = std::make_unique<UnzipParams>();
  *params = UnzipParams{};
  params->Version = kUnzipInterfaceVersion;
  params->Caller = &callerTag;
  params->Callback = PrintRecord;
  params->FixedFlag40 = kUnzipTrue;
  params->Constant72 = kUnzipConstant72;
  std::string password;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--into" && hasValue) {
      std::filesystem::current_path(argv[++i]);
    } else if (arg == "--password" && hasValue) {
      password = argv[++i];
    } else if (arg == "--stop-at" && hasValue) {
      stopAt = std::atoi(argv[++i]);
    } else if (arg == "--test") {
      params->TestFlag = kUnzipTrue;
    } else if (arg == "--dirs") {
      params->DirNamesFlag = kUnzipTrue;
    } else if (arg == "--overwrite") {
      params->OverwriteFlag = kUnzipTrue;
    } else if (arg == "--freshen") {
      params->FreshenFlag = kUnzipTrue;
    } else if (arg == "--update") {
      params->UpdateFlag = kUnzipTrue;
    } else if (arg == "--verbose") {
      params->VerboseFlag = kUnzipTrue;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.empty()) {
    std::fprintf(stderr, "usage: unzip_cli [options] ARCHIVE [SPEC...]\n");
    return 2;
  }
  const auto archive = Buffer(positional[0], kUnzipPathBufferSize);
  const auto passwordBuffer = Buffer(password, kUnzipPasswordBufferSize);
  std::vector<std::unique_ptr<char[]>> specs;
  for (std::size_t i = 1; i < positional.size(); ++i) {
    specs.push_back(Buffer(positional[i], kUnzipSpecBufferSize));
    params->FileSpecs[params->SpecCount++] = specs.back().get();
  }
  params->ZipFilename = archive.get();
  params->Password = passwordBuffer.get();
  std::printf("result %d\n", RunUnzipCall(params.get()));
  return 0;
}
