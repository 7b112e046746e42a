// The zip engine: makes an archive, or adds to one, from file specifications.
// Portable; the DLL "zipdll.dll" and the host tool tavzip are thin layers
// over it.
//
// What it guarantees: the archive is written under a temporary name beside
// the old one and replaces it only when complete, so a failure or a stop at
// any point leaves an existing archive exactly as it was (and creates none).
// Members kept from the old archive are copied byte for byte, headers and
// compressed data unchanged. It writes no Zip64, so it refuses to make an
// archive of more than 65535 members or 4 GB, and files of 4 GB or more.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class AddMode {
  Add,      // every file found; an existing member of that name is replaced
  Freshen,  // only files whose member exists and is older; nothing new
  Update,   // files whose member is older, and files not yet in the archive
};

struct ZipRequest {
  std::string archive;
  std::vector<std::string> specs;  // see GatherFiles
  int level = 6;                   // 0 stores, 1 to 9 deflate
  bool folderNames = true;
  bool recurse = false;
  AddMode mode = AddMode::Add;
  bool trace = false;    // an information message per file found
  bool verbose = false;  // an information message per member written
};

// Where progress and messages go; each report but BatchEnd answers false to
// stop the engine at once.
class ZipReport {
 public:
  virtual ~ZipReport() = default;
  virtual bool MemberStart(const std::string& memberName, std::uint64_t size) = 0;
  virtual bool Step() = 0;
  // The end of a call that was not stopped, after its last message.
  virtual void BatchEnd() = 0;
  // code: a kZipMessage code of zip/ZIPDLL.h.
  virtual bool Message(std::int32_t code, const std::string& text) = 0;
};

struct ZipOutcome {
  int added = 0;         // members written from files (new or replacing)
  int failures = 0;      // messages with a code other than kZipMessageInfo
  bool stopped = false;  // a report answered false
};

// Never throws: every failure becomes a message.
ZipOutcome RunZip(const ZipRequest& request, ZipReport& report);
