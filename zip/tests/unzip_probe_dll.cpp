// A stand-in unzip library for the extraction tests under Wine. It writes
// what it receives in the parameter record to the log file named by
// TAV_UNZIP_PROBE_LOG (one "key=value" line each), then drives the caller's
// callback as TAV_UNZIP_PROBE_SCRIPT says: reports separated by '|', each
// "action,error,size,text" with "\r" and "\n" written as backslash escapes.
// It returns TAV_UNZIP_PROBE_RESULT. Built in variants that lack one or both
// entry points (PROBE_EXEC, PROBE_VERSION) or that, inside the call, throw a
// C++ exception (PROBE_THROWS), raise a system exception (PROBE_RAISES) or
// write through a null pointer (PROBE_FAULTS); one that raises a system
// exception while a thread of its own still runs in the library and then sets
// the event named by TAV_UNZIP_PROBE_EVENT (PROBE_LINGERS); and one whose own
// thread faults while the call waits for it (PROBE_WORKER_FAULTS).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "zip/UNZDLL.h"

#if defined(PROBE_EXEC)
namespace {

std::string Environment(const char* name) {
  char value[4096];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

class Log {
 public:
  Log() : file_(std::fopen(Environment("TAV_UNZIP_PROBE_LOG").c_str(), "ab")) {}
  ~Log() {
    if (file_ != nullptr) std::fclose(file_);
  }
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  void Line(const std::string& key, const std::string& value) {
    if (file_ != nullptr) std::fprintf(file_, "%s=%s\n", key.c_str(), value.c_str());
  }
  void Line(const std::string& key, long long value) { Line(key, std::to_string(value)); }
  void Pointer(const std::string& key, const void* value) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", value);
    Line(key, text);
  }

 private:
  std::FILE* file_;
};

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'r' || text[i + 1] == 'n')) {
      out += text[++i] == 'r' ? '\r' : '\n';
    } else {
      out += text[i];
    }
  }
  return out;
}

void RecordParams(Log& log, const UnzipParams& p) {
  log.Line("call", "UnzDllExec");
  log.Pointer("OwnerWindow", p.OwnerWindow);
  log.Pointer("Caller", p.Caller);
  log.Line("Version", p.Version);
  log.Line("CallbackSet", p.Callback != nullptr ? 1 : 0);
  log.Line("TraceFlag", p.TraceFlag);
  log.Line("Reserved20", p.Reserved20);
  log.Line("Password", p.Password);
  log.Line("TestFlag", p.TestFlag);
  log.Line("FixedFlag32", p.FixedFlag32);
  log.Line("FixedFlag36", p.FixedFlag36);
  log.Line("FixedFlag40", p.FixedFlag40);
  log.Line("VerboseFlag", p.VerboseFlag);
  log.Line("UpdateFlag", p.UpdateFlag);
  log.Line("FreshenFlag", p.FreshenFlag);
  log.Line("DirNamesFlag", p.DirNamesFlag);
  log.Line("OverwriteFlag", p.OverwriteFlag);
  log.Line("SpecCount", p.SpecCount);
  log.Line("ZipFilename", p.ZipFilename);
  log.Line("Constant72", p.Constant72);
  for (std::int32_t i = 0; i < p.SpecCount && i < static_cast<std::int32_t>(kUnzipMaxSpecs); ++i) {
    log.Line("Spec", p.FileSpecs[i]);
  }
  char folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  log.Line("CurrentFolder", std::string(folder, length));
}

void RunScript(Log& log, const UnzipParams& p) {
  const std::string script = Environment("TAV_UNZIP_PROBE_SCRIPT");
  std::size_t start = 0;
  while (start < script.size()) {
    std::size_t end = script.find('|', start);
    if (end == std::string::npos) end = script.size();
    const std::string item = script.substr(start, end - start);
    start = end + 1;

    UnzipCallbackRecord record{};
    record.Caller = p.Caller;
    int action = 0;
    int error = 0;
    int size = 0;
    int consumed = 0;
    if (std::sscanf(item.c_str(), "%d,%d,%d,%n", &action, &error, &size, &consumed) < 3) continue;
    record.ActionCode = action;
    record.ErrorCode = error;
    record.FileSize = size;
    const std::string text = Unescape(item.substr(static_cast<std::size_t>(consumed)));
    std::strncpy(record.Text, text.c_str(), sizeof record.Text - 1);
    const std::int32_t answer = p.Callback(&record);
    log.Line("answer", answer);
    if (answer == kCallbackStop) {
      log.Line("stopped", action);
      return;
    }
  }
}

#if defined(PROBE_THROWS)
// A C++ exception leaving the library. On x86_64 GCC's exceptions travel as
// system exceptions and cross into the caller. On i686 GCC unwinds with its own
// tables, one set per module: a throw that leaves the library never finds the
// caller's handler and ends the process inside the library, so the library
// throws as 32-bit Windows compilers do, a system exception with the
// Microsoft C++ exception code.
[[noreturn]] void ThrowLikeAWindowsLibrary() {
#if defined(_WIN64)
  throw std::runtime_error("probe failure");
#else
  RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  std::abort();
#endif
}
#endif

#if defined(PROBE_FAULTS)
// Kept out of line, so the compiler cannot see the write as undefined.
__attribute__((noinline)) void* NullPointer() {
  static void* volatile null = nullptr;
  return null;
}
#endif

#if defined(PROBE_LINGERS)
// A worker of the library that is still at work, in the library's code,
// when the call that started it is abandoned.
DWORD WINAPI Linger(void*) {
  Sleep(300);
  if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, Environment("TAV_UNZIP_PROBE_EVENT").c_str())) {
    SetEvent(event);
    CloseHandle(event);
  }
  return 0;
}
#endif

#if defined(PROBE_WORKER_FAULTS)
DWORD WINAPI Fault(void*) {
  RaiseException(0xE0000043, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  return 0;
}
#endif

}  // namespace

extern "C" __declspec(dllexport) std::int32_t TAV_STDCALL UnzDllExec(UnzipParams* params) {
  {
    Log log;
    RecordParams(log, *params);
  }
#if defined(PROBE_THROWS)
  ThrowLikeAWindowsLibrary();
#elif defined(PROBE_RAISES)
  RaiseException(0xE0000042, 0, 0, nullptr);
#elif defined(PROBE_LINGERS)
  CloseHandle(CreateThread(nullptr, 0, Linger, nullptr, 0, nullptr));
  RaiseException(0xE0000042, 0, 0, nullptr);
#elif defined(PROBE_WORKER_FAULTS)
  HANDLE worker = CreateThread(nullptr, 0, Fault, nullptr, 0, nullptr);
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
#elif defined(PROBE_FAULTS)
  *static_cast<volatile std::int32_t*>(NullPointer()) = 1;
#endif
  {
    Log log;
    RunScript(log, *params);
  }
  return std::atoi(Environment("TAV_UNZIP_PROBE_RESULT").c_str());
}
#endif

#if defined(PROBE_VERSION)
extern "C" __declspec(dllexport) std::int32_t TAV_STDCALL GetUnzDllVersion() { return 140; }
#endif

// Every variant exports something, so that a library without either entry
// point is still a valid library.
extern "C" __declspec(dllexport) std::int32_t ProbeVariant();
std::int32_t ProbeVariant() { return 1; }
