#include "filestore/Lzrw1KHHashTable.h"

#include <new>

#include "filestore/LZRW1KH.h"

std::int16_t* gLzrwHashTable = nullptr;

void InitializeLzrw1KH() {
  if (gLzrwHashTable != nullptr) return;
  gLzrwHashTable = new (std::nothrow) std::int16_t[kLzrwHashEntries];
  if (gLzrwHashTable == nullptr) throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
}

void FinalizeLzrw1KH() {
  delete[] gLzrwHashTable;
  gLzrwHashTable = nullptr;
}
