// One member of a zip archive as its local file header describes it.
#pragma once

#include <string>

#include "zipformat/ZipRecords.h"

// The local header's fields, in file order, and the name.
struct ZipDirEntry : ZipLocalHeader {
  // The stored name, at most its first 256 bytes, cut at the first NUL.
  std::string MemberName;
};
