// Streaming a file through zlib's raw deflate into the archive.
#include "zipdll/engine/MemberWriter.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Version 2.0 is what deflate needs.
constexpr std::uint16_t kVersionNeededDeflate = 20;
constexpr std::uint16_t kVersionNeededStored = 10;

void WriteRecord(TStream& out, ByteWriter& record) {
  const std::vector<std::uint8_t> bytes = record.Take();
  out.WriteBuffer(bytes.data(), bytes.size());
}

// General purpose flag bits 1 and 2: how hard deflate tried, for readers
// that show it (APPNOTE 4.4.4).
std::uint16_t DeflateOptionFlags(int level) {
  if (level >= 8) return 2;
  if (level == 2) return 4;
  if (level == 1) return 6;
  return 0;
}

class Deflater {
 public:
  explicit Deflater(int level) {
    // Raw deflate (negative window bits): zip members carry no zlib wrapper.
    if (deflateInit2(&stream_, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw Exception("The deflate compressor cannot start (out of memory)");
    }
  }
  ~Deflater() { deflateEnd(&stream_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Deflates input (finishing the stream when last) and writes what comes out.
  std::uint64_t Feed(const std::uint8_t* input, std::size_t size, bool last, TStream& out) {
    stream_.next_in = const_cast<Bytef*>(input);
    stream_.avail_in = static_cast<uInt>(size);
    std::uint64_t written = 0;
    int status = Z_OK;
    do {
      stream_.next_out = buffer_.data();
      stream_.avail_out = static_cast<uInt>(buffer_.size());
      status = deflate(&stream_, last ? Z_FINISH : Z_NO_FLUSH);
      if (status == Z_STREAM_ERROR) throw Exception("The deflate compressor failed");
      const std::size_t produced = buffer_.size() - stream_.avail_out;
      out.WriteBuffer(buffer_.data(), produced);
      written += produced;
    } while (stream_.avail_out == 0 || (last && status != Z_STREAM_END));
    return written;
  }

 private:
  z_stream stream_{};
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kMemberStep);
};

}  // namespace

WrittenMember WriteMember(const MemberSource& source, TStream& out, int level, const std::function<void()>& step) {
  WrittenMember member{source.name, {}};
  ZipLocalHeader& header = member.header;
  const bool deflated = level > 0 && source.size > 0;
  header.VersionNeeded = deflated ? kVersionNeededDeflate : kVersionNeededStored;
  header.GeneralFlags = deflated ? DeflateOptionFlags(level) : 0;
  header.PackMethod = deflated ? kMethodDeflated : kMethodStored;
  header.ModDateTime = source.dosDateTime;
  header.NameLength = static_cast<std::uint16_t>(source.name.size());
  const std::int64_t headerAt = out.Position();
  ByteWriter local;
  WriteLocalHeader(local, header);
  WriteRecord(out, local.Characters(source.name));

  std::unique_ptr<Deflater> deflater = deflated ? std::make_unique<Deflater>(level) : nullptr;
  std::vector<std::uint8_t> chunk(kMemberStep);
  std::uint64_t left = source.size;
  std::uint64_t compressed = 0;
  uLong crc = crc32(0, nullptr, 0);
  while (left > 0) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
    const std::size_t got = source.file.ReadUpTo(chunk.data(), want);
    if (got < want) throw EMemberSource("the file is shorter than when it was found, or cannot be read");
    left -= got;
    crc = crc32(crc, chunk.data(), static_cast<uInt>(got));
    if (deflater) {
      compressed += deflater->Feed(chunk.data(), got, left == 0, out);
    } else {
      out.WriteBuffer(chunk.data(), got);
      compressed += got;
    }
    step();
  }
  if (compressed > kLargestField) throw EMemberSource("its compressed data would pass 4 GB (Zip64 is not written)");
  header.Crc32 = static_cast<std::uint32_t>(crc);
  header.PackedSize = static_cast<std::uint32_t>(compressed);
  header.UnpackedSize = static_cast<std::uint32_t>(source.size);

  const std::int64_t endAt = out.Position();
  out.SetPosition(headerAt + static_cast<std::int64_t>(kLocalCrcOffset));
  ByteWriter sums;
  WriteLocalHeaderSums(sums, header);
  WriteRecord(out, sums);
  out.SetPosition(endAt);
  return member;
}
