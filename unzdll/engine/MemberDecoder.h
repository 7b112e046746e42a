// Decodes one member's data: reads it from the archive, decrypts it when it
// is encrypted, inflates or copies it, and checks its size and CRC-32.
// Never produces more bytes than the member's stated size (plus the one byte
// that shows it would be larger).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "unzdll/engine/ArchiveFile.h"
#include "unzdll/engine/ZipDirectory.h"

struct z_stream_s;

// Where decoded bytes go.
class DecodeSink {
 public:
  virtual ~DecodeSink() = default;
  // Room for the next bytes; empty when the decoding is to stop (cancelled).
  virtual std::span<std::uint8_t> Room() = 0;
  // The first count bytes of the last Room() now hold output.
  virtual void Produced(std::size_t count) = 0;
};

enum class DecodeStatus { Ok, Damaged, NeedsPassword, WrongPassword, Unreadable, Cancelled };

struct DecodeResult {
  DecodeStatus status = DecodeStatus::Ok;
  std::string message;  // what was wrong; empty when Ok
};

class MemberDecoder {
 public:
  explicit MemberDecoder(TStream& archive);
  ~MemberDecoder();
  MemberDecoder(const MemberDecoder&) = delete;
  MemberDecoder& operator=(const MemberDecoder&) = delete;

  // Decodes a member that ReadZipDirectory found sound. Bytes handed to the
  // sink before a failure are not trustworthy: the caller discards them.
  DecodeResult Decode(const ZipMember& member, std::string_view password, DecodeSink& sink);

 private:
  struct Source;
  DecodeResult Inflate(const ZipMember& member, Source& source, DecodeSink& sink, std::uint32_t& crc);
  DecodeResult Copy(Source& source, DecodeSink& sink, std::uint32_t& crc);

  TStream& archive_;
  std::vector<std::uint8_t> input_;
  z_stream_s* inflater_ = nullptr;  // kept from member to member: its window is reused
};
