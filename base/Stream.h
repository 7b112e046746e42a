// The byte stream abstraction shared by the file store and the zip component.
#pragma once

#include <cstddef>
#include <cstdint>

enum class SeekOrigin { Begin, Current, End };

// A sequence of bytes with a current position. Read and Write move as far as
// they can; ReadBuffer and WriteBuffer are all-or-nothing and raise
// EStreamError ("Stream read error", "Stream write error") when the stream
// cannot deliver or take every byte.
class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to count bytes; returns how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Moves the position; returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }
  virtual std::int64_t Size();

  // Reads until count bytes are in or the stream ends; returns how many.
  std::size_t ReadUpTo(void* buffer, std::size_t count);
  void ReadBuffer(void* buffer, std::size_t count);
  void WriteBuffer(const void* buffer, std::size_t count);
  // Copies exactly count bytes from source's position to this stream's.
  void CopyFrom(TStream& source, std::int64_t count);

  // Little-endian 32-bit fields, as the stored formats keep them.
  std::int32_t ReadInt32();
  void WriteInt32(std::int32_t value);
};

inline constexpr char kStreamReadError[] = "Stream read error";
inline constexpr char kStreamWriteError[] = "Stream write error";
