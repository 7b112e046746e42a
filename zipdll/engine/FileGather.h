// From file specifications to the files to store and their member names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/FileSystem.h"

struct FoundFile {
  std::string path;        // as walked from the file specification
  std::string memberName;  // the name it is stored under
  FileFacts facts;
};

struct GatherProblem {
  std::int32_t code;  // kZipMessageName, kZipMessageFile or kZipMessageLimit
  std::string text;
};

struct GatherResult {
  std::vector<FoundFile> files;
  std::vector<GatherProblem> problems;  // each leaves one file or specification out
};

struct GatherOptions {
  bool folderNames = true;
  bool recurse = false;
  std::string archive;  // never gathered into itself
};

// Each specification is a path, relative to the current folder or absolute,
// whose last element may hold * and ?. That element is matched against the
// files of the file specification's folder and, with recurse, of every sub-folder
// (a folder reached through a link is not walked). A last element naming a
// folder stands for every file in it. Files come in specification order, a
// folder's files by name before its sub-folders. A specification that
// matches nothing, a name refused by MemberNameFor, a file of 4 GB or more,
// an unreadable folder and two different files with one member name (letters
// compared without regard to case) are problems; the same file found twice
// is taken once.
GatherResult GatherFiles(const std::vector<std::string>& specs, const GatherOptions& options);
