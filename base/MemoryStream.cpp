// A stream over a growable block of memory.
#include "base/MemoryStream.h"

#include <cstring>

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  const auto at = static_cast<std::size_t>(Position());
  // A position past the end fills the gap with zeros, as a file would.
  if (bytes_.size() < at + count) bytes_.resize(at + count);
  std::memcpy(bytes_.data() + at, buffer, count);
  View(bytes_);
  SetPosition(static_cast<std::int64_t>(at + count));
  return count;
}

void TMemoryStream::Clear() {
  bytes_.clear();
  View(bytes_);
  SetPosition(0);
}
