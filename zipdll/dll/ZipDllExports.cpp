// The exports of "zipdll.dll" (undecorated names from zipdll.def). Callers
// may enter with the stack aligned to 4 bytes only, hence the realignment.
#include "zip/ZIPDLL.h"
#include "zipdll/dll/ZipParamsCall.h"

extern "C" {

TAV_REALIGN_STACK std::int32_t TAV_STDCALL ZipDllExec(ZipParams* params);
TAV_REALIGN_STACK std::int32_t TAV_STDCALL GetZipDllVersion();

TAV_REALIGN_STACK std::int32_t TAV_STDCALL ZipDllExec(ZipParams* params) {
  return ExecuteZipParams(params);
}

TAV_REALIGN_STACK std::int32_t TAV_STDCALL GetZipDllVersion() { return kZipDllVersion; }

}
