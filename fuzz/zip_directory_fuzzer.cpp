// Fuzz target: the zip directory reader on arbitrary bytes, from the start
// and from the self-extractor offset. Every input must end in one of the
// reader's outcomes, with names within the 256-byte buffer.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "fuzz/FuzzTarget.h"
#include "zip/ZipDirectory.h"

namespace {

void ReadFrom(const std::vector<std::uint8_t>& bytes, std::int64_t start) {
  TMemoryStream stream(bytes);
  std::vector<ZipDirEntry> entries;
  try {
    if (ReadZipDirectoryEntries(stream, start, entries) == DirectoryReadEnd::NoEntriesFound &&
        !entries.empty()) {
      std::abort();
    }
  } catch (const EStreamError&) {
    // A damaged archive after its first member: refused with a message.
    if (entries.empty()) std::abort();
  }
  for (const ZipDirEntry& entry : entries) {
    if (entry.MemberName.size() > 256) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  ReadFrom(bytes, 0);
  if (size > kExeArchiveStart) ReadFrom(bytes, kExeArchiveStart);
  return 0;
}
