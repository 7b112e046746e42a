// Decoding one member: read, decrypt, inflate or copy, check.
#include "unzdll/engine/MemberDecoder.h"

#include <zlib.h>

#include <algorithm>
#include <optional>

#include "base/Exception.h"
#include "unzdll/engine/ZipCrypto.h"

namespace {

constexpr std::size_t kInputSize = 256 * 1024;

DecodeResult Damaged(std::string message) { return {DecodeStatus::Damaged, std::move(message)}; }
DecodeResult Unreadable() { return {DecodeStatus::Unreadable, "its data cannot be read from the archive"}; }
DecodeResult Cancelled() { return {DecodeStatus::Cancelled, "cancelled"}; }

}  // namespace

// The member's data as it comes off the archive, decrypted.
struct MemberDecoder::Source {
  TStream& archive;
  std::uint64_t remaining;
  std::optional<ZipDecrypter> decrypter;

  bool Read(std::uint8_t* to, std::size_t count) {
    if (archive.ReadUpTo(to, count) < count) return false;
    if (decrypter) decrypter->Decrypt(to, count);
    remaining -= count;
    return true;
  }
};

MemberDecoder::MemberDecoder(TStream& archive) : archive_(archive), input_(kInputSize) {}

MemberDecoder::~MemberDecoder() {
  if (inflater_ != nullptr) {
    inflateEnd(inflater_);
    delete inflater_;
  }
}

DecodeResult MemberDecoder::Decode(const ZipMember& member, std::string_view password, DecodeSink& sink) {
  Source source{archive_, member.PackedSize, std::nullopt};
  try {
    archive_.SetPosition(static_cast<std::int64_t>(member.dataOffset));
  } catch (const EStreamError&) {
    return Unreadable();
  }
  if (member.IsEncrypted()) {
    if (password.empty()) return {DecodeStatus::NeedsPassword, "it is encrypted and no password was given"};
    std::uint8_t header[kEncryptionHeaderSize];
    if (archive_.ReadUpTo(header, sizeof header) < sizeof header) return Unreadable();
    source.remaining -= sizeof header;
    source.decrypter.emplace(password);
    const auto check =
        static_cast<std::uint8_t>(member.HasDataDescriptor() ? member.ModDateTime >> 8 : member.Crc32 >> 24);
    if (!source.decrypter->AcceptHeader(header, check))
      return {DecodeStatus::WrongPassword, "the password is wrong"};
  }
  std::uint32_t crc = 0;
  DecodeResult result =
      member.PackMethod == kMethodDeflated ? Inflate(member, source, sink, crc) : Copy(source, sink, crc);
  if (result.status == DecodeStatus::Ok && crc != member.Crc32)
    result = Damaged(member.IsEncrypted() ? "CRC-32 error (damaged data or a wrong password)" : "CRC-32 error (the data is damaged)");
  return result;
}

DecodeResult MemberDecoder::Copy(Source& source, DecodeSink& sink, std::uint32_t& crc) {
  while (source.remaining > 0) {
    const std::span<std::uint8_t> room = sink.Room();
    if (room.empty()) return Cancelled();
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(room.size(), source.remaining));
    if (!source.Read(room.data(), count)) return Unreadable();
    crc = static_cast<std::uint32_t>(crc32(crc, room.data(), static_cast<uInt>(count)));
    sink.Produced(count);
  }
  return {};
}

DecodeResult MemberDecoder::Inflate(const ZipMember& member, Source& source, DecodeSink& sink, std::uint32_t& crc) {
  if (inflater_ == nullptr) {
    inflater_ = new z_stream{};
    if (inflateInit2(inflater_, -MAX_WBITS) != Z_OK) {
      delete inflater_;
      inflater_ = nullptr;
      throw std::bad_alloc();
    }
  } else {
    inflateReset(inflater_);
  }
  z_stream& z = *inflater_;
  z.avail_in = 0;
  std::uint64_t produced = 0;
  for (;;) {
    if (z.avail_in == 0 && source.remaining > 0) {
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(input_.size(), source.remaining));
      if (!source.Read(input_.data(), count)) return Unreadable();
      z.next_in = input_.data();
      z.avail_in = static_cast<uInt>(count);
    }
    const std::span<std::uint8_t> room = sink.Room();
    if (room.empty()) return Cancelled();
    // One byte more than the stated size may still come: it shows a member
    // that would expand beyond what it declares, without writing any further.
    const auto allowed = static_cast<uInt>(std::min<std::uint64_t>(room.size(), member.UnpackedSize - produced + 1));
    z.next_out = room.data();
    z.avail_out = allowed;
    const int status = inflate(&z, Z_NO_FLUSH);
    const uInt count = allowed - z.avail_out;
    if (count > 0) {
      produced += count;
      if (produced > member.UnpackedSize) return Damaged("it expands beyond its stated size");
      crc = static_cast<std::uint32_t>(crc32(crc, room.data(), count));
      sink.Produced(count);
    }
    if (status == Z_STREAM_END) break;
    if (status == Z_BUF_ERROR && z.avail_in == 0 && source.remaining == 0)
      return Damaged("its compressed data ends early");
    if (status != Z_OK && status != Z_BUF_ERROR) return Damaged("its compressed data is damaged");
  }
  if (z.avail_in != 0 || source.remaining != 0) return Damaged("its compressed data goes on past the end of the stream");
  if (produced != member.UnpackedSize) return Damaged("it is shorter than its stated size");
  return {};
}
