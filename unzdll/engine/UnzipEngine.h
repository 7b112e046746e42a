// The extraction engine: extracts or tests the members of a zip archive,
// reporting progress and messages through a callback on the calling thread.
//
// What it refuses, and what becomes of a refused member, is written down in
// docs/unzdll.md. In short: the archive is refused as a whole when its
// structure cannot be trusted (ZipDirectory.h); a member is refused, with a
// message, when its name is unsafe (MemberName.h), when it is damaged,
// unsupported or encrypted with another password, or when it would land on
// a name an earlier member took (also in another spelling the file system
// takes for the same file). A member is written to a temporary file beside
// its target and renamed over the target only once its CRC-32 is proven and
// every one of its bytes was written, so a failed member leaves nothing
// behind and an existing file is never lost to it. Nothing is written
// outside the target folder.
//
// Decoding runs on worker threads (DecodePipeline.h); files are written and
// the callback is called on the calling thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct UnzipOptions {
  std::string archivePath;
  // Where the members go; empty for the process's current folder.
  std::string targetFolder;
  std::string password;  // empty: encrypted members are refused
  // Members to extract ('*' and '?' wildcards, case-insensitive, matched
  // against the whole stored name); empty for all.
  std::vector<std::string> specifications;
  bool overwrite = false;    // replace existing files
  bool freshen = false;      // only replace existing files older than the member
  bool update = false;       // as freshen, and also extract members with no file yet
  bool folderNames = false;  // recreate stored folders
  bool test = false;         // check every member, write nothing
  bool verbose = false;      // also report members extracted and entries skipped
};

enum class UnzipAction : std::int32_t {
  MemberStart = 1,  // text: the member's name; size: its size
  Step = 2,         // another piece of the current member is done
  BatchEnd = 3,     // the run is over
  Message = 4,      // text: a message; errorCode: what kind (below)
};

// The error code of a message.
enum class UnzipError : std::int32_t {
  None = 0,            // information (verbose)
  ArchiveRefused = 1,  // the archive cannot be opened or trusted
  NameRefused = 2,     // a member's name is unsafe
  MemberRefused = 3,   // damaged, unsupported, or failed its size or CRC-32 check
  Password = 4,        // encrypted, and no or a wrong password
  FileSystem = 5,      // a file or folder could not be made or written
  Skipped = 6,         // not extracted because of overwrite, freshen or update
  DuplicateName = 7,   // an earlier member took the same name
};

struct UnzipEvent {
  UnzipAction action;
  UnzipError errorCode;
  std::int64_t size;
  std::string text;
};

// Answers true to go on, false to stop. After it answered false the engine
// makes no further call and returns.
using UnzipReporter = std::function<bool(const UnzipEvent&)>;

// Runs the extraction (or the test); returns how many members were
// extracted (or tested sound). Faults of the archive and its members are
// reported, never thrown; an exception thrown by report passes through
// after the engine has cleaned up.
int RunUnzip(const UnzipOptions& options, const UnzipReporter& report);
