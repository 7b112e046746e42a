// Walking the folders that file specifications name.
#include "zipdll/engine/FileGather.h"

#include <map>
#include <optional>

#include "base/AsciiText.h"
#include "base/Wildcard.h"
#include "zip/ZIPDLL.h"
#include "zipdll/engine/MemberName.h"
#include "zipformat/ZipRecords.h"

namespace {

// True when both paths name one existing file.
bool SameFile(const std::string& first, const std::string& second) {
  const std::optional<FileIdentity> identity = FileIdentityAt(first);
  return identity && identity == FileIdentityAt(second);
}

class Gatherer {
 public:
  explicit Gatherer(const GatherOptions& options) : options_(options) {}

  void Spec(const std::string& spec) {
    const std::size_t before = found_;
    const std::size_t cut = spec.find_last_of("/\\");
    std::string folder = cut == std::string::npos ? "" : spec.substr(0, cut + 1);
    std::string pattern = cut == std::string::npos ? spec : spec.substr(cut + 1);
    if (folder.empty() && pattern.size() >= 2 && pattern[1] == ':') {
      folder = pattern.substr(0, 2);
      pattern.erase(0, 2);
    }
    const FileFacts facts = HasWildcard(pattern) ? FileFacts{} : QueryFile(spec);
    if (facts.kind == EntryKind::Directory) {
      Walk(spec.back() == '/' || spec.back() == '\\' ? spec : spec + "/", "*");
    } else if (facts.kind == EntryKind::File && !options_.recurse) {
      Take(spec, facts);
    } else if (!pattern.empty()) {
      Walk(folder, pattern);
    }
    if (found_ == before) result_.problems.push_back({kZipMessageFile, "No file matches \"" + spec + "\""});
  }

  GatherResult Result() { return std::move(result_); }

 private:
  void Walk(const std::string& folder, const std::string& pattern) {
    const auto entries = ListFolder(folder);
    if (!entries) {
      result_.problems.push_back({kZipMessageFile, "Cannot read the folder \"" + folder + "\""});
      return;
    }
    for (const auto& entry : *entries) {
      if (entry.kind == EntryKind::File && MatchesFileWildcard(pattern, entry.name)) {
        const std::string path = folder + entry.name;
        Take(path, QueryFile(path));
      }
    }
    if (!options_.recurse) return;
    for (const auto& entry : *entries) {
      if (entry.kind == EntryKind::Directory && !entry.isLink) Walk(folder + entry.name + "/", pattern);
    }
  }

  void Take(const std::string& path, const FileFacts& facts) {
    ++found_;
    if (facts.kind != EntryKind::File) {
      result_.problems.push_back({kZipMessageFile, "Cannot read \"" + path + "\""});
      return;
    }
    if (!options_.archive.empty() && SameFile(path, options_.archive)) return;
    MemberNameResult name = MemberNameFor(path, options_.folderNames);
    if (!name.refusal.empty()) {
      result_.problems.push_back({kZipMessageName, "Refused \"" + path + "\": " + name.refusal});
      return;
    }
    if (facts.size >= kLargestField) {
      result_.problems.push_back(
          {kZipMessageLimit, "Refused \"" + path + "\": 4 GB or more needs Zip64, which this library does not write"});
      return;
    }
    const auto [at, isNew] = byName_.emplace(AsciiLowerCase(name.name), result_.files.size());
    if (!isNew) {
      const FoundFile& earlier = result_.files[at->second];
      if (!SameFile(earlier.path, path)) {
        result_.problems.push_back({kZipMessageName, "Refused \"" + path + "\": \"" + earlier.path +
                                                         "\" is already stored as \"" + earlier.memberName + "\""});
      }
      return;
    }
    result_.files.push_back({path, std::move(name.name), facts});
  }

  const GatherOptions& options_;
  GatherResult result_;
  std::map<std::string, std::size_t> byName_;
  std::size_t found_ = 0;
};

}  // namespace

GatherResult GatherFiles(const std::vector<std::string>& specs, const GatherOptions& options) {
  Gatherer gatherer(options);
  for (const auto& spec : specs) gatherer.Spec(spec);
  return gatherer.Result();
}
