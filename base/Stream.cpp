// The stream operations built on Read, Write and Seek.
#include "base/Stream.h"

#include <algorithm>
#include <vector>

#include "base/ByteReader.h"
#include "base/ByteWriter.h"
#include "base/Exception.h"

std::int64_t TStream::Size() {
  const std::int64_t here = Position();
  const std::int64_t end = Seek(0, SeekOrigin::End);
  SetPosition(here);
  return end;
}

std::size_t TStream::ReadUpTo(void* buffer, std::size_t count) {
  auto* at = static_cast<unsigned char*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    const std::size_t got = Read(at + total, count - total);
    if (got == 0) break;
    total += got;
  }
  return total;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (ReadUpTo(buffer, count) < count) throw EStreamError(kStreamReadError);
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
  std::uint8_t b[4];
  ReadBuffer(b, 4);
  return ByteReader(b).Signed(4);
}

void TStream::WriteInt32(std::int32_t value) {
  std::uint8_t b[4];
  PutLittleEndian(b, static_cast<std::uint32_t>(value));
  WriteBuffer(b, 4);
}
