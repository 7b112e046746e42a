// Symbol names of the zip component's enumerations.
#include "zip/ZipOptions.h"

const std::vector<std::string>& AddOptsSymbols() {
  static const std::vector<std::string> symbols = {
      "AddDirNames", "AddRecurseDirs", "AddMove", "AddFreshen", "AddUpdate",
      "AddZipTime", "AddForceDOS", "AddHiddenFiles", "AddEncrypt"};
  return symbols;
}

const std::vector<std::string>& ExtrOptsSymbols() {
  static const std::vector<std::string> symbols = {"ExtrDirNames", "ExtrOverWrite", "ExtrFreshen",
                                                   "ExtrUpdate", "ExtrTest"};
  return symbols;
}

const std::vector<std::string>& SFXOptsSymbols() {
  static const std::vector<std::string> symbols = {"SFXAskCmdLine", "SFXAskFiles",
                                                   "SFXHideOverWriteBox"};
  return symbols;
}

const std::vector<std::string>& OvrOptsSymbols() {
  static const std::vector<std::string> symbols = {"OvrConfirm", "OvrAlways", "OvrNever"};
  return symbols;
}
