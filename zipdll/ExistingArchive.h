// The members of an archive that new files are added to. Their bytes (local
// header, data, data descriptor) are copied into the new archive unchanged,
// so the reader only locates and bounds them; it never inflates anything.
//
// Refused as a whole, with the reason as the exception's message: no end
// record, several disks, Zip64, a central directory that does not end where
// the end record starts or holds another number of entries than stated, a
// local header missing where an entry points, member bytes reaching into the
// central directory or beyond the file, and members that share bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/Stream.h"

namespace zipdll {

class EExistingArchive : public Exception {
 public:
  using Exception::Exception;
};

struct KeptMember {
  std::string name;
  std::uint32_t dosDateTime = 0;
  std::uint64_t localOffset = 0;  // where its local header starts
  std::uint64_t spanSize = 0;     // local header, data and data descriptor
  std::vector<std::uint8_t> centralHeader;  // written again with a new local offset
};

struct ExistingArchive {
  std::vector<KeptMember> members;  // in central directory order
  std::vector<std::uint8_t> comment;
};

ExistingArchive ReadExistingArchive(TStream& archive);

}  // namespace zipdll
