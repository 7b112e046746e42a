// What ZipDllExec does with its parameter record: checks it, turns it into a
// request for the engine, and turns the engine's reports into callback
// records. Portable, so that the record's handling is tested natively too.
#pragma once

#include <cstdint>

#include "zip/ZIPDLL.h"

// Returns the number of members written from files; 0 for a record that is
// refused (null, another interface version, a SpecCount outside 1 to 4097,
// a null text or one without a NUL within its 256 bytes), after a failure
// or a stop. Never throws, whatever the engine or the callback raises.
std::int32_t ExecuteZipParams(const ZipParams* params) noexcept;
