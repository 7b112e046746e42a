// The two exports of "unzdll.dll", undecorated through unzdll.def.
#include "unzdll/dll/UnzipCall.h"
#include "zip/UNZDLL.h"

extern "C" TAV_REALIGN_STACK std::int32_t TAV_STDCALL UnzDllExec(UnzipParams* params) { return RunUnzipCall(params); }

extern "C" TAV_REALIGN_STACK std::int32_t TAV_STDCALL GetUnzDllVersion() { return kUnzDllVersion; }
