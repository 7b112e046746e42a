// The extraction run: plans every member, then writes (or tests) the sound
// ones as the decoding workers deliver them.
#include "unzdll/engine/UnzipEngine.h"

#include <algorithm>
#include <optional>
#include <set>

#include "base/FileSystem.h"
#include "base/Wildcard.h"
#include "unzdll/engine/ArchiveFile.h"
#include "unzdll/engine/DecodePipeline.h"
#include "unzdll/engine/MemberName.h"
#include "unzdll/engine/ZipDirectory.h"

namespace {

// Raised when the reporter asks to stop; ends the run quietly.
struct StopRequested {};

// A name as it may appear in a message: control characters and NULs of a
// hostile name are shown as '?'.
std::string Printable(const std::string& name) {
  std::string shown = name;
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return shown;
}

UnzipError ErrorFor(DecodeStatus status) {
  return status == DecodeStatus::NeedsPassword || status == DecodeStatus::WrongPassword ? UnzipError::Password
                                                                                         : UnzipError::MemberRefused;
}

// What the run does with one member, decided before anything is written.
struct PlannedMember {
  const ZipMember* member;
  std::string shownName;
  std::optional<std::size_t> job;  // set when the member is decoded
  std::vector<std::string> elements;
  UnzipError error = UnzipError::None;
  std::string message;  // reported in place of extracting, when set
};

// A temporary file beside its target; removed unless committed.
class TemporaryFile {
 public:
  ~TemporaryFile() {
    Close();
    if (!path_.empty()) RemoveFileAt(path_);
  }
  bool Create(const std::string& folder) {
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
      const std::string path = folder + "~unz" + std::to_string(attempt) + ".tmp";
      handle_ = CreateNewFileHandle(path);
      if (handle_ != kInvalidFileHandle) {
        path_ = path;
        return true;
      }
      if (!FileExistsAt(path)) return false;
    }
    return false;
  }
  bool Write(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
      const std::size_t put = WriteFileHandle(handle_, bytes, count);
      if (put == 0) return false;
      bytes += put;
      count -= put;
    }
    return true;
  }
  FileHandle Handle() const { return handle_; }
  void Close() {
    if (handle_ != kInvalidFileHandle) CloseFileHandle(handle_);
    handle_ = kInvalidFileHandle;
  }
  // Renames the closed file over target; afterwards nothing is removed.
  bool CommitAs(const std::string& target) {
    Close();
    if (!ReplaceFileAt(path_, target)) return false;
    path_.clear();
    return true;
  }

 private:
  std::string path_;
  FileHandle handle_ = kInvalidFileHandle;
};

class UnzipRun {
 public:
  UnzipRun(const UnzipOptions& options, const UnzipReporter& report) : options_(options), report_(report) {}

  int Run() {
    try {
      if (ReadArchive()) {
        Plan();
        Execute();
      }
      Report(UnzipAction::BatchEnd, UnzipError::None, 0, "");
    } catch (const StopRequested&) {
      // The reporter asked to stop: no further reports.
    }
    return count_;
  }

 private:
  // Reads the archive's directory; false (reported) when the archive cannot
  // be opened or trusted.
  bool ReadArchive() {
    ArchiveFile archive(options_.archivePath);
    if (!archive.IsOpen()) {
      Report(UnzipAction::Message, UnzipError::ArchiveRefused, 0, "Cannot open archive " + options_.archivePath);
      return false;
    }
    try {
      members_ = ReadZipDirectory(archive);
    } catch (const Exception& e) {
      Report(UnzipAction::Message, UnzipError::ArchiveRefused, 0, options_.archivePath + ": " + e.Message());
      return false;
    }
    return true;
  }

  void Report(UnzipAction action, UnzipError error, std::int64_t size, const std::string& text) {
    if (!report_(UnzipEvent{action, error, size, text})) throw StopRequested{};
  }

  void Refuse(const PlannedMember& planned, UnzipError error, const std::string& why) {
    Report(UnzipAction::Message, error, 0, planned.shownName + ": not extracted, " + why);
  }

  bool Selected(const ZipMember& member) const {
    if (options_.specifications.empty()) return true;
    return std::any_of(options_.specifications.begin(), options_.specifications.end(),
                       [&](const std::string& spec) { return MatchesWildcard(spec, member.name); });
  }

  std::string TargetPath(const std::vector<std::string>& elements, std::size_t count) const {
    std::string path = options_.targetFolder;
    if (!path.empty() && path.back() != '/' && path.back() != PathSeparator()) path.push_back(PathSeparator());
    for (std::size_t i = 0; i < count; ++i) {
      if (i > 0) path.push_back(PathSeparator());
      path += elements[i];
    }
    return path;
  }

  // Decides overwrite, freshen and update against the file already there.
  std::string ExistingFileProblem(const ZipMember& member, const std::string& target, UnzipError& error) const {
    error = UnzipError::Skipped;
    if (FolderExistsAt(target)) {
      error = UnzipError::FileSystem;
      return "a folder of that name exists";
    }
    if (!FileExistsAt(target)) return options_.freshen && !options_.update ? "there is no file to freshen" : "";
    if (options_.freshen || options_.update) {
      // A file whose time has no DOS form (before 1980) counts as older.
      const DosDateTime existing = FileDosTimeAt(target).value_or(0);
      return member.ModDateTime > existing ? "" : "the existing file is not older";
    }
    return options_.overwrite ? "" : "the file exists and overwriting is off";
  }

  void Plan() {
    std::set<std::string> takenNames;
    for (const ZipMember& member : members_) {
      if (!Selected(member)) continue;
      PlannedMember planned{&member, Printable(member.name), std::nullopt, {}, UnzipError::None, {}};
      if (member.IsFolder()) {
        if (options_.verbose) planned.message = "folder entry skipped";
        plan_.push_back(std::move(planned));
        continue;
      }
      MemberPath path = SanitizeMemberName(member.name, options_.folderNames);
      if (!path.problem.empty()) {
        planned.error = UnzipError::NameRefused;
        planned.message = "its name is refused: " + path.problem;
      } else if (!member.problem.empty()) {
        planned.error = UnzipError::MemberRefused;
        planned.message = member.problem;
      } else if (!takenNames.insert(PathKey(path.elements)).second) {
        planned.error = UnzipError::DuplicateName;
        planned.message = "an earlier member has the same name";
      } else if (!options_.test) {
        planned.message = ExistingFileProblem(member, TargetPath(path.elements, path.elements.size()), planned.error);
      }
      if (planned.message.empty()) {
        planned.job = jobs_.size();
        planned.elements = std::move(path.elements);
        jobs_.push_back(&member);
      }
      plan_.push_back(std::move(planned));
    }
  }

  void Execute() {
    std::optional<DecodePipeline> pipeline;
    if (!jobs_.empty()) pipeline.emplace(options_.archivePath, jobs_, options_.password, DecodeWorkerCount());
    for (const PlannedMember& planned : plan_) {
      if (!planned.job) {
        if (planned.error != UnzipError::None)
          Refuse(planned, planned.error, planned.message);
        else if (!planned.message.empty())
          Report(UnzipAction::Message, UnzipError::None, 0, planned.shownName + ": " + planned.message);
        continue;
      }
      Report(UnzipAction::MemberStart, UnzipError::None, planned.member->UnpackedSize, planned.shownName);
      if (options_.test ? Test(*pipeline, planned) : Extract(*pipeline, planned)) {
        ++count_;
        if (options_.verbose)
          Report(UnzipAction::Message, UnzipError::None, 0, planned.shownName + (options_.test ? ": OK" : ": extracted"));
      }
    }
  }

  // Takes every chunk of the planned member's job, handing each to use,
  // with a step report per chunk; decodes the job here when no worker will.
  template <typename Use>
  DecodeResult Drain(DecodePipeline& pipeline, const PlannedMember& planned, Use&& use) {
    const std::size_t job = *planned.job;
    Chunk chunk;
    for (;;) {
      switch (pipeline.Next(job, chunk)) {
        case NextChunk::Taken:
          use(chunk);
          pipeline.Recycle(std::move(chunk));
          Report(UnzipAction::Step, UnzipError::None, 0, "");
          break;
        case NextChunk::JobDone:
          return pipeline.Result(job);
        case NextChunk::DecodeHere:
          return pipeline.DecodeHere(job, [&](const Chunk& decoded) {
            use(decoded);
            Report(UnzipAction::Step, UnzipError::None, 0, "");
          });
      }
    }
  }

  // The decoder's verdict, held against what actually arrived: a member is
  // sound only with its CRC-32 checked and every one of its bytes delivered.
  static DecodeResult Verdict(DecodeResult result, const ZipMember& member, std::uint64_t delivered) {
    if (result.status == DecodeStatus::Ok && delivered != member.UnpackedSize)
      result = {DecodeStatus::Damaged, "only " + std::to_string(delivered) + " of its " + std::to_string(member.UnpackedSize) +
                                           " bytes were decoded"};
    return result;
  }

  bool Test(DecodePipeline& pipeline, const PlannedMember& planned) {
    std::uint64_t delivered = 0;
    const DecodeResult decoded = Drain(pipeline, planned, [&](const Chunk& chunk) { delivered += chunk.size; });
    const DecodeResult result = Verdict(decoded, *planned.member, delivered);
    if (result.status == DecodeStatus::Ok) return true;
    Refuse(planned, ErrorFor(result.status), result.message);
    return false;
  }

  // Makes the member's missing folders; the ones made are listed in made.
  bool MakeFolders(const PlannedMember& planned, std::vector<std::string>& made) {
    for (std::size_t depth = 1; depth < planned.elements.size(); ++depth) {
      std::string folder = TargetPath(planned.elements, depth);
      if (knownFolders_.contains(folder)) continue;
      if (FolderExistsAt(folder)) {
        knownFolders_.insert(std::move(folder));
        continue;
      }
      if (!CreateFolderAt(folder)) return false;
      made.push_back(std::move(folder));
    }
    return true;
  }

  bool Extract(DecodePipeline& pipeline, const PlannedMember& planned) {
    const std::string target = TargetPath(planned.elements, planned.elements.size());
    std::vector<std::string> madeFolders;
    // Removes the folders this member made when it fails, deepest first.
    struct FolderUndo {
      std::vector<std::string>& folders;
      bool keep = false;
      ~FolderUndo() {
        if (!keep)
          for (auto it = folders.rbegin(); it != folders.rend(); ++it) RemoveFolderAt(*it);
      }
    } undo{madeFolders};

    std::string failure;
    UnzipError error = UnzipError::FileSystem;
    TemporaryFile temporary;
    if (!MakeFolders(planned, madeFolders))
      failure = "its folder cannot be made";
    else if (!temporary.Create(TargetPath(planned.elements, planned.elements.size() - 1) +
                               (planned.elements.size() > 1 ? std::string(1, PathSeparator()) : std::string())))
      failure = "no temporary file can be made beside " + target;
    bool writing = failure.empty();
    std::uint64_t written = 0;
    const DecodeResult decoded = Drain(pipeline, planned, [&](const Chunk& chunk) {
      if (writing && !temporary.Write(chunk.bytes.get(), chunk.size)) {
        writing = false;
        failure = "writing failed (disk full?)";
      }
      written += chunk.size;
    });
    const DecodeResult result = Verdict(decoded, *planned.member, written);
    if (failure.empty() && result.status != DecodeStatus::Ok) {
      failure = result.message;
      error = ErrorFor(result.status);
    }
    std::optional<FileIdentity> identity;
    if (failure.empty() && TakenByThisRun(target)) {
      // Another spelling of an earlier member's file: a case the name key
      // does not fold (non-ASCII letters) or a short 8.3 name.
      error = UnzipError::DuplicateName;
      failure = "an earlier member has the same name";
    }
    if (failure.empty()) {
      SetFileHandleDosTime(temporary.Handle(), planned.member->ModDateTime);
      identity = FileHandleIdentity(temporary.Handle());
      if (!temporary.CommitAs(target)) failure = "it cannot be saved as " + target;
    }
    if (!failure.empty()) {
      Refuse(planned, error, failure);
      return false;
    }
    undo.keep = true;
    knownFolders_.insert(madeFolders.begin(), madeFolders.end());
    if (identity) writtenFiles_.insert(*identity);
    return true;
  }

  // True when target, however it is spelt, is a file this run wrote.
  bool TakenByThisRun(const std::string& target) const {
    if (writtenFiles_.empty() || !FileExistsAt(target)) return false;
    const std::optional<FileIdentity> identity = FileIdentityAt(target);
    return identity && writtenFiles_.contains(*identity);
  }

  const UnzipOptions& options_;
  const UnzipReporter& report_;
  std::vector<ZipMember> members_;
  std::vector<PlannedMember> plan_;
  std::vector<const ZipMember*> jobs_;
  std::set<std::string> knownFolders_;  // folders that exist (made or found) in this run
  std::set<FileIdentity> writtenFiles_;  // the files this run extracted
  int count_ = 0;
};

}  // namespace

int RunUnzip(const UnzipOptions& options, const UnzipReporter& report) { return UnzipRun(options, report).Run(); }
