// Symbol names of the zip component's enumerations.
#include "zip/ZipOptions.h"

std::span<const char* const> AddOptsSymbols() {
  static const char* const symbols[] = {"AddDirNames", "AddRecurseDirs", "AddMove",
                                        "AddFreshen",  "AddUpdate",      "AddZipTime",
                                        "AddForceDOS", "AddHiddenFiles", "AddEncrypt"};
  return symbols;
}

std::span<const char* const> ExtrOptsSymbols() {
  static const char* const symbols[] = {"ExtrDirNames", "ExtrOverWrite", "ExtrFreshen", "ExtrUpdate", "ExtrTest"};
  return symbols;
}

std::span<const char* const> SFXOptsSymbols() {
  static const char* const symbols[] = {"SFXAskCmdLine", "SFXAskFiles", "SFXHideOverWriteBox"};
  return symbols;
}

std::span<const char* const> OvrOptsSymbols() {
  static const char* const symbols[] = {"OvrConfirm", "OvrAlways", "OvrNever"};
  return symbols;
}
