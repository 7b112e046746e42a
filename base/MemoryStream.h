// A stream over a growable block of memory.
#pragma once

#include <cstdint>
#include <vector>

#include "base/ByteViewStream.h"

// Reads and seeks as a view of its own bytes; writes grow them.
class TMemoryStream : public TByteViewStream {
 public:
  TMemoryStream() : TByteViewStream({}) {}
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : TByteViewStream({}), bytes_(std::move(bytes)) {
    View(bytes_);
  }

  std::size_t Write(const void* buffer, std::size_t count) override;

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  void Clear();

 private:
  std::vector<std::uint8_t> bytes_;
};
