// One file written as one archive member: local header, data stored or
// deflated with zlib, CRC-32, and the header completed in place afterwards.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/Exception.h"
#include "base/Stream.h"
#include "zipformat/ZipRecords.h"

// The file gave fewer bytes than it had when it was found.
class EMemberSource : public Exception {
 public:
  using Exception::Exception;
};

struct MemberSource {
  TStream& file;
  std::string name;             // the member name
  std::uint64_t size = 0;       // exactly this many bytes are read
  std::uint32_t dosDateTime = 0;
};

// A member as written: no extra field, Zip64, encryption or data descriptor
// (every size fits 32 bits; the local header is completed in place).
struct WrittenMember {
  std::string name;
  ZipLocalHeader header;
};

// Called after each chunk of kMemberStep bytes is read and written.
inline constexpr std::size_t kMemberStep = 64 * 1024;

// Writes source at out's position (out must be seekable) and leaves out's
// position after the member. Level 0 stores, 1 to 9 deflate; an empty file is
// always stored. Raises EMemberSource for a file that ends early and
// EStreamError when out cannot take the bytes; step's exceptions pass through.
WrittenMember WriteMember(const MemberSource& source, TStream& out, int level, const std::function<void()>& step);
