// Reading a zip archive's central directory and finding where each member's
// bytes lie: the rules by which both zip libraries trust an archive (the
// table in docs/formats/zip-archive.md).
//
// Refused as a whole: no end record whose comment reaches exactly to the end
// of the file (searched for in the last 65,557 bytes only, so that no file
// can make the search slow); several disks; Zip64; a central directory that
// disagrees with itself or with the end record; members that share a byte
// (overlapping members are how "zip bombs" expand far beyond their size).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/Stream.h"
#include "zipformat/ZipRecords.h"

// An archive that cannot be trusted as a whole.
class EZipArchive : public Exception {
 public:
  using Exception::Exception;
};

struct ZipEntry {
  ZipCentralHeader header;
  std::string name;                  // the stored name bytes
  std::vector<std::uint8_t> record;  // the whole entry: header, name, extra field, comment
};

struct ZipCentralDirectory {
  std::uint64_t offset = 0;  // where it starts: every member's bytes end before
  std::vector<ZipEntry> entries;  // in directory order
  std::vector<std::uint8_t> comment;  // the archive's comment
};

// Raises EZipArchive for an archive refused as a whole (above), EStreamError
// when the stream fails.
ZipCentralDirectory ReadCentralDirectory(TStream& archive);

// Where one member's bytes lie.
struct ZipMemberBytes {
  ZipLocalHeader local;
  std::string localName;  // the name its local header holds
  std::uint64_t begin = 0;       // its local header
  std::uint64_t dataOffset = 0;  // its data (with an encryption header first)
  std::uint64_t end = 0;         // just past its data and data descriptor
  std::optional<ZipDataDescriptor> descriptor;  // with flag bit 3
};

// Finds entry's local header, data (of the central header's compressed
// size) and, with flag bit 3, its data descriptor (12 bytes, or 16 when they
// start with its signature) before the central directory at
// directoryOffset. Returns why they cannot all be found there; empty when
// bytes is filled in.
std::string LocateMember(TStream& archive, const ZipEntry& entry, std::uint64_t directoryOffset,
                         ZipMemberBytes& bytes);

struct ZipByteSpan {
  std::uint64_t begin;
  std::uint64_t end;
};
// Raises EZipArchive when two of the spans share a byte.
void RefuseOverlaps(std::vector<ZipByteSpan> spans);
