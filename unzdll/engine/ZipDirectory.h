// The members of an archive to extract: the central directory as
// zipformat/CentralDirectory reads and trusts it, and per member why it
// cannot be extracted (the table in docs/unzdll.md): its bytes not found, a
// local header or data descriptor that disagrees with its central entry, or
// what the engine does not support. A member refused for its own faults
// still takes part in the overlap rule when its bytes can be found.
#pragma once

#include <string>
#include <vector>

#include "zipformat/CentralDirectory.h"

// A central directory entry; PackedSize includes the encryption header.
struct ZipMember : ZipCentralHeader {
  std::string name;  // the name bytes, as stored
  std::uint64_t dataOffset = 0;  // valid when problem is empty
  // Why the member cannot be extracted; empty for a sound member.
  std::string problem;

  bool IsEncrypted() const { return (GeneralFlags & kFlagEncrypted) != 0; }
  bool HasDataDescriptor() const { return (GeneralFlags & kFlagDataDescriptor) != 0; }
  bool IsFolder() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
};

// The members in central directory order. Raises EZipArchive when the
// archive as a whole cannot be trusted, EStreamError when it cannot be read.
std::vector<ZipMember> ReadZipDirectory(TStream& archive);
