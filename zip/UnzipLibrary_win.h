// The unzip library as the whole module shares it: one loaded library and
// its two entry points, written only by LoadUnzipLibrary and
// UnloadUnzipLibrary. Used on the program's one thread, without locks.
#pragma once

#include <windows.h>

#include "zip/UNZDLL.h"

struct UnzipLibraryState {
  HMODULE Handle = nullptr;
  UnzDllExecFunction UnzDllExec = nullptr;
  GetUnzDllVersionFunction GetUnzDllVersion = nullptr;
};

UnzipLibraryState& UnzipLibrary();

// Keeps the loaded library in the process for good, whoever unloads it
// later: for a library left in the middle of a call.
void PinUnzipLibrary();
