// The zip directory reader's walk over local file headers.
#include "zip/ZipDirectory.h"

#include <algorithm>
#include <array>

#include "base/Exception.h"

namespace {

constexpr std::array<std::uint8_t, 4> kLocalHeaderBytes = {0x50, 0x4B, 0x03, 0x04};
constexpr std::size_t kHeaderSize = kLocalHeaderSize - kSignatureSize;
constexpr std::size_t kNameBufferSize = 256;
constexpr std::int64_t kSmallestEndRecord = kEndRecordSize;

void DecodeHeader(ByteReader header, ZipDirEntry& entry) {
  static_cast<ZipLocalHeader&>(entry) = ReadLocalHeaderFields(header);
}

class DirectoryWalk {
 public:
  DirectoryWalk(TStream& stream, std::vector<ZipDirEntry>& entries)
      : stream_(stream), entries_(entries), size_(stream.Size()) {}

  DirectoryReadEnd Run() {
    bool scanning = true;
    for (;;) {
      if (scanning) {
        if (!ScanForLocalHeader()) return DirectoryReadEnd::NoEntriesFound;
        scanning = !ReadMember();
        continue;
      }
      std::array<std::uint8_t, 4> signature{};
      if (stream_.ReadUpTo(signature.data(), signature.size()) < signature.size()) {
        throw EStreamError(kErrorReadingZipFile);
      }
      const std::uint32_t value = ByteReader(signature).U32();
      if (value == kLocalHeaderSignature) {
        scanning = !ReadMember();
      } else if (value == kCentralHeaderSignature || value == kEndRecordSignature) {
        return DirectoryReadEnd::Complete;
      }
      // Anything else is passed over four bytes at a time.
    }
  }

 private:
  bool ReadByte(std::uint8_t& byte) { return stream_.Read(&byte, 1) == 1; }

  // Consumes bytes up to and including the next local header signature.
  // Only candidate first bytes count towards the limit; a byte that breaks a
  // partial match is not tried again as a first byte.
  bool ScanForLocalHeader() {
    for (;;) {
      std::uint8_t byte = 0;
      if (!ReadByte(byte)) return false;
      if (++scanned_ > kDirectoryScanLimit) return false;
      if (byte != kLocalHeaderBytes[0]) continue;
      std::size_t matched = 1;
      while (matched < kLocalHeaderBytes.size()) {
        if (!ReadByte(byte)) return false;
        if (byte != kLocalHeaderBytes[matched]) break;
        ++matched;
      }
      if (matched == kLocalHeaderBytes.size()) return true;
    }
  }

  // Reads the whole name but keeps only what fits the name buffer, so a
  // longer name neither overruns it nor loses the place in the file.
  bool ReadName(ZipDirEntry& entry) {
    std::array<std::uint8_t, kNameBufferSize> name{};
    const std::size_t kept = std::min<std::size_t>(entry.NameLength, name.size());
    if (stream_.ReadUpTo(name.data(), kept) < kept) return false;
    std::array<std::uint8_t, kNameBufferSize> rest{};
    for (std::size_t delivered = kept; delivered < entry.NameLength;) {
      const std::size_t part = std::min<std::size_t>(entry.NameLength - delivered, rest.size());
      if (stream_.ReadUpTo(rest.data(), part) < part) return false;
      delivered += part;
    }
    const auto end = std::find(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(kept), 0);
    entry.MemberName.assign(name.begin(), end);
    return true;
  }

  // The header step, right after a local header signature. False when the
  // walk falls back to scanning (only while no member has been found yet).
  bool ReadMember() {
    ZipDirEntry entry;
    std::array<std::uint8_t, kHeaderSize> header{};
    const bool complete = stream_.ReadUpTo(header.data(), header.size()) == header.size() &&
                          (DecodeHeader(ByteReader(header), entry), ReadName(entry));
    if (!complete) return GiveUpOn(kError2ReadingZipFile);

    const std::int64_t afterName = stream_.Position();
    const std::int64_t afterExtra = afterName + entry.ExtraLength;
    const std::int64_t afterData = afterExtra + static_cast<std::int64_t>(entry.PackedSize);
    if (afterData > size_ - kSmallestEndRecord) return GiveUpOn(kError3ReadingZipFile);

    if (entry.ExtraLength != 0 && stream_.Seek(entry.ExtraLength, SeekOrigin::Current) != afterExtra) {
      throw EStreamError(kError4ReadingZipFile);
    }
    const std::int64_t beforeData = stream_.Position();
    const std::int64_t packed = entry.PackedSize;
    if (stream_.Seek(packed, SeekOrigin::Current) != beforeData + packed) {
      throw EStreamError(kError5ReadingZipFile);
    }
    entries_.push_back(std::move(entry));
    return true;
  }

  // A damaged header is an error once members were found; before that it
  // was only a chance match of the signature, and the scan goes on.
  bool GiveUpOn(const char* message) {
    if (!entries_.empty()) throw EStreamError(message);
    return false;
  }

  TStream& stream_;
  std::vector<ZipDirEntry>& entries_;
  const std::int64_t size_;
  int scanned_ = 0;
};

}  // namespace

DirectoryReadEnd ReadZipDirectoryEntries(TStream& stream, std::int64_t start,
                                         std::vector<ZipDirEntry>& entries) {
  stream.SetPosition(start);
  return DirectoryWalk(stream, entries).Run();
}
