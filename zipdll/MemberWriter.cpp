// Streaming a file through zlib's raw deflate into the archive.
#include "zipdll/MemberWriter.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace zipdll {

namespace {

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
  WrittenMember member;
  member.name = source.name;
  member.dosDateTime = source.dosDateTime;
  const bool deflated = level > 0 && source.size > 0;
  member.method = deflated ? kMethodDeflated : kMethodStored;
  member.flags = deflated ? DeflateOptionFlags(level) : 0;
  const std::int64_t headerAt = out.Position();
  out.WriteBuffer(LocalHeader(member).data(), kLocalHeaderSize + member.name.size());

  std::unique_ptr<Deflater> deflater = deflated ? std::make_unique<Deflater>(level) : nullptr;
  std::vector<std::uint8_t> chunk(kMemberStep);
  std::uint64_t left = source.size;
  std::uint64_t compressed = 0;
  uLong crc = crc32(0, nullptr, 0);
  while (left > 0) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
    std::size_t got = 0;
    while (got < want) {
      const std::size_t n = source.file.Read(chunk.data() + got, want - got);
      if (n == 0) throw EMemberSource("the file is shorter than when it was found, or cannot be read");
      got += n;
    }
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
  member.crc = static_cast<std::uint32_t>(crc);
  member.compressedSize = static_cast<std::uint32_t>(compressed);
  member.size = static_cast<std::uint32_t>(source.size);

  const std::int64_t endAt = out.Position();
  out.SetPosition(headerAt + static_cast<std::int64_t>(kLocalCrcOffset));
  const std::vector<std::uint8_t> sums = LocalHeaderSums(member);
  out.WriteBuffer(sums.data(), sums.size());
  out.SetPosition(endAt);
  return member;
}

}  // namespace zipdll
