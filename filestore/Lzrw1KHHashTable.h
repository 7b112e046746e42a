// The compressor's hash table: made by InitializeLzrw1KH, freed by
// FinalizeLzrw1KH (Lzrw1KHHashTable.cpp). Kept apart from the codec, so that
// a program that only sets the unit up and tears it down links none of it.
#pragma once

#include <cstdint>

inline constexpr int kLzrwHashEntries = 4096;

// Null until InitializeLzrw1KH and after FinalizeLzrw1KH.
extern std::int16_t* gLzrwHashTable;
