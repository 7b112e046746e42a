// The members of an archive that new files are added to. Their bytes (local
// header, data, data descriptor) are copied into the new archive unchanged,
// so the reader only locates and bounds them; it never inflates anything.
//
// Refused as a whole (EZipArchive, the reason as its message): whatever
// zipformat/CentralDirectory refuses, and, since every member must be
// copied whole, a member whose bytes cannot be found before the central
// directory or that has Zip64 sizes or offset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zipformat/CentralDirectory.h"

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

// Raises EZipArchive as above, EStreamError when the archive cannot be read.
ExistingArchive ReadExistingArchive(TStream& archive);
