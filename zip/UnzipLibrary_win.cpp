// Loading and unloading the unzip library.
#include "zip/UnzipLibrary_win.h"

#include <cstdint>

#include "base/FileSystem.h"
#include "base/UserMessage.h"
#include "zip/ZipMstr.h"

namespace {

constexpr char kUnzipLibraryName[] = "UNZDLL.DLL";
constexpr char kUnzDllNotFound[] = "UNZDLL.DLL not found";
constexpr char kUnzDllLoaded[] = "UNZ DLL Loaded";
constexpr char kUnzDllExecNotFound[] = "UnzDllExec function not found in UNZDLL.DLL";
constexpr char kGetUnzDllVersionNotFound[] = "GetUnzDllVersion function not found in UNZDLL.DLL";

// No system error box while the library loads (a missing dependency, a
// drive without a medium); afterwards the default mode, whatever happens.
class QuietLoading {
 public:
  QuietLoading() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX); }
  ~QuietLoading() { SetErrorMode(0); }
  QuietLoading(const QuietLoading&) = delete;
  QuietLoading& operator=(const QuietLoading&) = delete;
};

// GetProcAddress's generic function type, converted through the one
// function type the compiler accepts as a neutral go-between.
template <class Function>
Function LookUp(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace

UnzipLibraryState& UnzipLibrary() {
  static UnzipLibraryState state;
  return state;
}

bool TZipMaster::UnzipLibraryLoaded() { return UnzipLibrary().Handle != nullptr; }

// The library in DLLDirectory when it is there; otherwise the bare name, for
// the system's search order (which RestrictDllSearch narrows at start-up).
void TZipMaster::LoadUnzipLibrary() {
  if (UnzipLibraryLoaded()) return;
  std::string path;
  if (!dllDirectory_.empty() && FileExistsAt(dllDirectory_ + "\\" + kUnzipLibraryName)) {
    path = dllDirectory_ + "\\" + kUnzipLibraryName;
  }
  if (path.empty()) path = kUnzipLibraryName;

  UnzipLibraryState& library = UnzipLibrary();
  QuietLoading quiet;
  const HMODULE handle = LoadLibraryA(path.c_str());
  // Old systems answered failures with small numbers; a module's address
  // is never that small. Compared unsigned, a library loaded high in the
  // address space is not taken for a failure.
  if (reinterpret_cast<std::uintptr_t>(handle) <= 32) {
    library = UnzipLibraryState{};
    ShowMessage(kUnzDllNotFound);
    return;
  }
  library.Handle = handle;
  if (trace_) ShowMessage(kUnzDllLoaded);
  library.UnzDllExec = LookUp<UnzDllExecFunction>(handle, kUnzDllExecName);
  library.GetUnzDllVersion = LookUp<GetUnzDllVersionFunction>(handle, kGetUnzDllVersionName);
  if (library.UnzDllExec == nullptr) ShowMessage(kUnzDllExecNotFound);
  if (library.GetUnzDllVersion == nullptr) ShowMessage(kGetUnzDllVersionNotFound);
}

void TZipMaster::UnloadUnzipLibrary() {
  UnzipLibraryState& library = UnzipLibrary();
  if (library.Handle != nullptr) FreeLibrary(library.Handle);
  library = UnzipLibraryState{};
}

void PinUnzipLibrary() {
  const HMODULE library = UnzipLibrary().Handle;
  if (library == nullptr) return;
  HMODULE pinned = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCSTR>(library), &pinned);
}
