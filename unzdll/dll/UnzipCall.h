// One call of the unzip library's interface: reads an UnzipParams record,
// runs the extraction engine, and reports through the caller's callback as
// UnzipCallbackRecords. Portable, so the native tests and the benchmark go
// through exactly what UnzDllExec does.
#pragma once

#include <cstdint>

#include "zip/UNZDLL.h"

// The version GetUnzDllVersion reports: the interface version it implements.
inline constexpr std::int32_t kUnzDllVersion = kUnzipInterfaceVersion;

// Returns the number of members extracted (or tested). Never throws: a
// failure the engine does not report itself ends the call with 0.
std::int32_t RunUnzipCall(UnzipParams* params) noexcept;
