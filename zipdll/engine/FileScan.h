// The file system as the zip engine sees it: folder listings and the facts of
// one file. FileScan_posix.cpp and FileScan_win.cpp are the only places that
// ask the system; paths are 8-bit texts, '/' and '\' both accepted on Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class EntryKind { Missing, File, Folder };

struct FileFacts {
  EntryKind kind = EntryKind::Missing;
  std::uint64_t size = 0;
  // Last-write time in the local time zone, as an MS-DOS date (high 16 bits)
  // and time (low 16 bits); times before 1980 become 1980-01-01 00:00.
  std::uint32_t dosDateTime = 0;
};

struct FolderEntry {
  std::string name;
  EntryKind kind = EntryKind::File;
  // A folder reached through a link or reparse point: listed, never walked,
  // so that a link back up the tree cannot make a walk endless.
  bool isLink = false;
};

// The facts of the file or folder at path (links followed).
FileFacts QueryFile(const std::string& path);

// The entries of folder ("" is the current folder), without "." and "..",
// sorted by name byte by byte so that archives come out the same on every
// system; nullopt when the folder cannot be read.
std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder);

// True when both paths name one existing file (same device and file number,
// or volume and file index on Windows).
bool SameFile(const std::string& first, const std::string& second);
