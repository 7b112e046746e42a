// A read-only stream over bytes that someone else owns and keeps alive for
// the stream's lifetime (a program resource, a value inside a description),
// so that large values are read where they lie instead of being copied;
// also the reading side of TMemoryStream.
#pragma once

#include <cstdint>
#include <span>

#include "base/Stream.h"

class TByteViewStream : public TStream {
 public:
  explicit TByteViewStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  // Always 0 here: the bytes are not the stream's to change.
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }

 protected:
  // Reads other bytes from here on, at the same position.
  void View(std::span<const std::uint8_t> bytes) { bytes_ = bytes; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};
