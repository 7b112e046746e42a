// The engine's run: read the old archive, gather the files, plan, write the
// new archive under a temporary name, replace the old one.
#include "zipdll/engine/ZipEngine.h"

#include <map>
#include <memory>
#include <new>

#include "base/AsciiText.h"
#include "base/ByteWriter.h"
#include "base/Exception.h"
#include "base/FileStream.h"
#include "zip/ZIPDLL.h"
#include "zipdll/engine/ExistingArchive.h"
#include "zipdll/engine/FileGather.h"
#include "zipdll/engine/MemberWriter.h"

namespace {

// Made by version 2.0 on MS-DOS: readers take the attributes as DOS ones.
constexpr std::uint16_t kVersionMadeBy = 20;
constexpr std::uint32_t kDosArchiveAttribute = 0x20;

// A report answered "stop".
struct StopRequested {};

// A failure that ends the run with nothing written.
class ERunFailure : public Exception {
 public:
  ERunFailure(std::int32_t code, const std::string& message) : Exception(message), code_(code) {}
  std::int32_t Code() const { return code_; }

 private:
  std::int32_t code_;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Names compare as Windows compares file names; stored '\' counts as '/'.
std::string NameKey(std::string name) {
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  return AsciiLowerCase(std::move(name));
}

// One member of the new archive: from a file, or kept from the old archive,
// or both (a replacement, which falls back to the kept member when the file
// cannot be opened).
struct PlannedMember {
  const KeptMember* kept = nullptr;
  const FoundFile* file = nullptr;
};

bool IsNewer(const FoundFile& file, const KeptMember& kept) { return file.facts.dosDateTime > kept.dosDateTime; }

std::vector<PlannedMember> Plan(const ExistingArchive& existing, const std::vector<FoundFile>& files, AddMode mode) {
  std::vector<PlannedMember> plan;
  std::map<std::string, std::size_t> keptAt;
  for (const auto& kept : existing.members) {
    keptAt.emplace(NameKey(kept.name), plan.size());
    plan.push_back({&kept, nullptr});
  }
  for (const auto& file : files) {
    const auto found = keptAt.find(NameKey(file.memberName));
    if (found == keptAt.end()) {
      if (mode != AddMode::Freshen) plan.push_back({nullptr, &file});
    } else if (mode == AddMode::Add || IsNewer(file, *plan[found->second].kept)) {
      plan[found->second].file = &file;
    }
  }
  return plan;
}

bool WritesAnyFile(const std::vector<PlannedMember>& plan) {
  for (const auto& member : plan) {
    if (member.file != nullptr) return true;
  }
  return false;
}

// A short name in the archive's folder that nothing has yet (short, so that
// it fits wherever the archive's own name fits).
std::string TemporaryNameBeside(const std::string& archive) {
  const std::size_t cut = archive.find_last_of("/\\:");
  const std::string folder = cut == std::string::npos ? "" : archive.substr(0, cut + 1);
  for (int n = 0;; ++n) {
    std::string name = folder + "~zt" + std::to_string(n) + ".tmp";
    if (QueryFile(name).kind == EntryKind::Missing) return name;
  }
}

class Run {
 public:
  Run(const ZipRequest& request, ZipReport& report) : request_(request), report_(report) {}

  ZipOutcome Go() {
    try {
      Work();
      report_.BatchEnd();
    } catch (const StopRequested&) {
      outcome_.added = 0;
      outcome_.stopped = true;
    } catch (const ERunFailure& failure) {
      EndFailed(failure.Code(), failure.Message());
    } catch (const std::bad_alloc&) {
      EndFailed(kZipMessageInternal, "Out of memory");
    } catch (const std::exception& e) {
      EndFailed(kZipMessageInternal, e.what());
    }
    return outcome_;
  }

 private:
  void Work() {
    CheckRequest();
    ReadOldArchive();
    gathered_ = GatherFiles(request_.specs, {request_.folderNames, request_.recurse, request_.archive});
    if (request_.trace) {
      for (const auto& file : gathered_.files) {
        Tell(kZipMessageInfo, "Found " + Quoted(file.path) + " as " + Quoted(file.memberName));
      }
    }
    for (const auto& problem : gathered_.problems) Tell(problem.code, problem.text);
    const std::vector<PlannedMember> plan = Plan(existing_, gathered_.files, request_.mode);
    if (!WritesAnyFile(plan)) {
      Tell(kZipMessageInfo, "Nothing to do: no file to add to " + Quoted(request_.archive));
      return;
    }
    if (plan.size() > kMostMembers) {
      throw ERunFailure(kZipMessageLimit, "Cannot write " + Quoted(request_.archive) + ": it would hold " +
                                              std::to_string(plan.size()) +
                                              " members, over the 65535 an archive without Zip64 can hold");
    }
    WriteArchive(plan);
  }

  void CheckRequest() {
    if (request_.archive.empty()) throw ERunFailure(kZipMessageParameters, "No archive name given");
    if (request_.level < 0 || request_.level > 9) {
      throw ERunFailure(kZipMessageParameters,
                        "Compression level " + std::to_string(request_.level) + " is not one of 0 to 9");
    }
    if (request_.specs.empty()) throw ERunFailure(kZipMessageParameters, "No file specification given");
    if (QueryFile(request_.archive).kind == EntryKind::Directory) {
      throw ERunFailure(kZipMessageParameters, Quoted(request_.archive) + " is a folder, not an archive");
    }
  }

  void ReadOldArchive() {
    if (QueryFile(request_.archive).kind == EntryKind::Missing) return;
    try {
      oldArchive_ = std::make_unique<TFileStream>(request_.archive, FileMode::OpenRead);
      existing_ = ReadExistingArchive(*oldArchive_);
    } catch (const Exception& e) {
      throw ERunFailure(kZipMessageArchive, "Cannot add to " + Quoted(request_.archive) + ": " + e.Message());
    }
  }

  void WriteArchive(const std::vector<PlannedMember>& plan) {
    const std::string temporary = TemporaryNameBeside(request_.archive);
    try {
      WriteTemporary(temporary, plan);
      oldArchive_.reset();
      if (!RenameFileReplacing(temporary, request_.archive)) {
        throw ERunFailure(kZipMessageWrite, "Cannot replace " + Quoted(request_.archive) + " by the new archive");
      }
    } catch (const EStreamError& e) {
      RemoveFileAt(temporary);
      throw ERunFailure(kZipMessageWrite, "Cannot write " + Quoted(request_.archive) + ": " + e.Message());
    } catch (...) {
      RemoveFileAt(temporary);
      throw;
    }
  }

  // The whole new archive; the stream is closed when this returns or raises.
  void WriteTemporary(const std::string& temporary, const std::vector<PlannedMember>& plan) {
    TFileStream out(temporary, FileMode::Create);
    ByteWriter directory;
    for (const auto& member : plan) WritePlanned(member, out, directory);
    const std::uint64_t directoryAt = CheckedOffset(out);
    if (directoryAt + directory.Size() > kLargestField) throw TooLarge();
    ZipEndRecord end;
    end.EntriesHere = end.Entries = static_cast<std::uint16_t>(directoryEntries_);
    end.DirectorySize = static_cast<std::uint32_t>(directory.Size());
    end.DirectoryOffset = static_cast<std::uint32_t>(directoryAt);
    end.CommentLength = static_cast<std::uint16_t>(existing_.comment.size());
    WriteEndRecord(directory, end);
    const std::vector<std::uint8_t> tail = directory.Bytes(existing_.comment).Take();
    out.WriteBuffer(tail.data(), tail.size());
  }

  void WritePlanned(const PlannedMember& member, TStream& out, ByteWriter& directory) {
    if (member.file != nullptr) {
      std::unique_ptr<TFileStream> file;
      try {
        file = std::make_unique<TFileStream>(member.file->path, FileMode::OpenRead);
      } catch (const EStreamError&) {
        Tell(kZipMessageFile, "Cannot open " + Quoted(member.file->path) +
                                  (member.kept ? "; the archive keeps its old member" : "; it is left out"));
      }
      if (file) {
        WriteFromFile(*member.file, *file, out, directory);
        return;
      }
    }
    if (member.kept != nullptr) CopyKept(*member.kept, out, directory);
  }

  void WriteFromFile(const FoundFile& found, TStream& file, TStream& out, ByteWriter& directory) {
    if (!report_.MemberStart(found.memberName, found.facts.size)) throw StopRequested();
    const std::uint64_t at = CheckedOffset(out);
    WrittenMember written;
    try {
      written = WriteMember({file, found.memberName, found.facts.size, found.facts.dosDateTime}, out, request_.level,
                            [this] {
                              if (!report_.Step()) throw StopRequested();
                            });
    } catch (const EMemberSource& e) {
      throw ERunFailure(kZipMessageFile, "Cannot read " + Quoted(found.path) + ": " + e.Message());
    }
    ZipCentralHeader central;
    static_cast<ZipLocalHeader&>(central) = written.header;
    central.VersionMadeBy = kVersionMadeBy;
    central.ExternalAttributes = kDosArchiveAttribute;
    central.LocalOffset = static_cast<std::uint32_t>(at);
    WriteCentralHeader(directory, central);
    directory.Characters(written.name);
    ++directoryEntries_;
    ++outcome_.added;
    if (request_.verbose) Tell(kZipMessageInfo, Described(written));
  }

  void CopyKept(const KeptMember& kept, TStream& out, ByteWriter& directory) {
    const std::uint64_t at = CheckedOffset(out);
    oldArchive_->SetPosition(static_cast<std::int64_t>(kept.localOffset));
    out.CopyFrom(*oldArchive_, static_cast<std::int64_t>(kept.spanSize));
    std::vector<std::uint8_t> header = kept.centralHeader;
    PutLittleEndian(std::span(header).subspan(kCentralLocalOffsetOffset, 4), static_cast<std::uint32_t>(at));
    directory.Bytes(header);
    ++directoryEntries_;
  }

  std::uint64_t CheckedOffset(TStream& out) {
    const auto at = static_cast<std::uint64_t>(out.Position());
    if (at > kLargestField) throw TooLarge();
    return at;
  }

  ERunFailure TooLarge() const {
    return ERunFailure(kZipMessageLimit, "Cannot write " + Quoted(request_.archive) +
                                             ": it would pass 4 GB, and this library does not write Zip64");
  }

  static std::string Described(const WrittenMember& member) {
    if (member.header.PackMethod == kMethodStored) return "Added " + Quoted(member.name) + " (stored)";
    return "Added " + Quoted(member.name) + " (deflated, " + std::to_string(member.header.UnpackedSize) +
           " bytes to " + std::to_string(member.header.PackedSize) + ")";
  }

  void Tell(std::int32_t code, const std::string& text) {
    if (code != kZipMessageInfo) ++outcome_.failures;
    if (!report_.Message(code, text)) throw StopRequested();
  }

  void EndFailed(std::int32_t code, const std::string& text) {
    outcome_.added = 0;
    ++outcome_.failures;
    if (!report_.Message(code, text)) {
      outcome_.stopped = true;
      return;
    }
    report_.BatchEnd();
  }

  const ZipRequest& request_;
  ZipReport& report_;
  ZipOutcome outcome_;
  std::unique_ptr<TFileStream> oldArchive_;
  ExistingArchive existing_;
  GatherResult gathered_;
  std::size_t directoryEntries_ = 0;
};

}  // namespace

ZipOutcome RunZip(const ZipRequest& request, ZipReport& report) { return Run(request, report).Go(); }
