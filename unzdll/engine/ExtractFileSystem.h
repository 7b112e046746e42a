// What the extraction engine needs from the file system beyond base/FileSystem.h:
// removing folders, exclusive creation, replacing, file identities and modification times. ExtractFileSystem_posix.cpp
// and ExtractFileSystem_win.cpp are the only places that call the system for them.
// Paths are 8-bit texts in the system's ANSI code page.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

#include "base/FileSystem.h"

// Removes an empty folder; false when it could not.
bool RemoveFolderAt(const std::string& path);

// Creates a file that must not exist yet, for writing, unshared;
// kInvalidFileHandle when it exists already or cannot be made. Never
// truncates or replaces anything.
FileHandle CreateNewFileHandle(const std::string& path);

// Zip archives keep modification times as MS-DOS date (high 16 bits) and
// time (low 16 bits) in local time, to two seconds.
using DosDateTime = std::uint32_t;

// The modification time of the file at path, as a DOS date and time; empty
// when there is no such file or its time has no DOS form.
std::optional<DosDateTime> FileDosTimeAt(const std::string& path);
// Sets the modification time of an open file; false when it could not.
bool SetFileHandleDosTime(FileHandle file, DosDateTime when);

// Renames from over the file at to. A read-only file there is replaced too:
// its read-only attribute is cleared just before, and set again when the
// replace fails (Windows refuses to replace a read-only file otherwise).
bool ReplaceFileAt(const std::string& from, const std::string& to);

// What tells one file from another on its volume, whatever name reaches it
// (another case of a letter, a short 8.3 name).
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  auto operator<=>(const FileIdentity&) const = default;
};
// The identity of the file at path, or of an open file; empty when there is
// no such file or the system cannot tell.
std::optional<FileIdentity> FileIdentityAt(const std::string& path);
std::optional<FileIdentity> FileHandleIdentity(FileHandle file);
