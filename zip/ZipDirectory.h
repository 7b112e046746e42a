// The zip directory reader: walks an archive's local file headers from a
// start offset and lists the members, without reading the central directory.
//
// The walk starts by scanning for the first local header signature
// ("PK\3\4"), at most 60000 candidate first bytes; from the first header on
// it reads one 4-byte signature after each member. It ends at the first
// central directory header or end-of-central-directory record. Hostile input
// gets one of the outcomes below and nothing else: names longer than 256
// bytes are cut (the rest of the name is skipped, so the place in the file is
// kept), and sizes are compared unsigned in 64 bits, so no member can move
// the walk backwards.
#pragma once

#include <cstdint>
#include <vector>

#include "base/Stream.h"
#include "zip/ZipDirEntry.h"

enum class DirectoryReadEnd {
  Complete,        // a central directory header or end record was reached
  NoEntriesFound,  // no local header found (end of data or scan limit)
};

inline constexpr char kNoValidZipEntries[] = "No valid zip entries found";
inline constexpr char kErrorReadingZipFile[] = "Error reading Zip File";
inline constexpr char kError2ReadingZipFile[] = "Error 2 reading Zip file";
inline constexpr char kError3ReadingZipFile[] = "Error 3 reading Zip file";
inline constexpr char kError4ReadingZipFile[] = "Error 4 reading Zip file";
inline constexpr char kError5ReadingZipFile[] = "Error 5 reading Zip file";

// Candidate first bytes examined in the scan for the first local header.
inline constexpr int kDirectoryScanLimit = 60000;
// Where the scan starts in a file whose extension is ".EXE" (a
// self-extracting archive's program comes first).
inline constexpr std::int64_t kExeArchiveStart = 14000;

// Appends the members found from start on to entries. When the archive
// breaks off after a member was found, or the stream does not move as far
// as a member's extra field or data reaches (Error 4, Error 5), raises
// EStreamError with one of the "Error ... reading Zip file" messages; the
// members found so far stay in entries. NoEntriesFound always leaves
// entries as it was.
DirectoryReadEnd ReadZipDirectoryEntries(TStream& stream, std::int64_t start,
                                         std::vector<ZipDirEntry>& entries);
