// The stream operations built on Read, Write and Seek.
#include "base/Stream.h"

#include <algorithm>
#include <vector>

#include "base/Exception.h"

std::int64_t TStream::Size() {
  const std::int64_t here = Position();
  const std::int64_t end = Seek(0, SeekOrigin::End);
  SetPosition(here);
  return end;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  auto* at = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    const std::size_t got = Read(at, count);
    if (got == 0) throw EStreamError(kStreamReadError);
    at += got;
    count -= got;
  }
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
  const auto* at = static_cast<const unsigned char*>(buffer);
  while (count > 0) {
    const std::size_t put = Write(at, count);
    if (put == 0) throw EStreamError(kStreamWriteError);
    at += put;
    count -= put;
  }
}

void TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count < 0) throw EStreamError(kStreamReadError);
  constexpr std::size_t kChunk = 64 * 1024;
  std::vector<unsigned char> chunk(static_cast<std::size_t>(std::min<std::int64_t>(count, kChunk)));
  while (count > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(count, kChunk));
    source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    count -= static_cast<std::int64_t>(n);
  }
}

std::int32_t TStream::ReadInt32() {
  unsigned char b[4];
  ReadBuffer(b, 4);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                   static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

void TStream::WriteInt32(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  WriteBuffer(b, 4);
}
