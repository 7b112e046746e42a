// The operating system's files and folders, behind a few functions: the
// tree's one file-system seam. Its _posix.cpp and _win.cpp files in base/ are
// the only places that call the system for them: FileSystem (opening,
// reading, renaming, folders), FileFacts (kind, size, identity, time),
// FileCreation (exclusive creation, setting times, replacing) and
// FolderListing, kept apart so that a program links only the calls it makes.
// Paths are 8-bit texts in the system's ANSI code page.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Stream.h"

using FileHandle = std::intptr_t;
inline constexpr FileHandle kInvalidFileHandle = -1;

enum class FileAccess { Read, Write, ReadWrite };

// Opens an existing file; kInvalidFileHandle on failure.
FileHandle OpenFileHandle(const std::string& path, FileAccess access);
// Creates the file or truncates it, for reading and writing, unshared;
// kInvalidFileHandle on failure.
FileHandle CreateFileHandle(const std::string& path);
// Read and write as much as the system takes in one call; 0 on failure.
std::size_t ReadFileHandle(FileHandle file, void* buffer, std::size_t count);
std::size_t WriteFileHandle(FileHandle file, const void* buffer, std::size_t count);
// The new position, or -1 on failure.
std::int64_t SeekFileHandle(FileHandle file, std::int64_t offset, SeekOrigin origin);
void CloseFileHandle(FileHandle file);

// True when a file (not a folder) exists at path.
bool FileExistsAt(const std::string& path);
// Removes the file at path; false when it could not.
bool RemoveFileAt(const std::string& path);
// Renames from to to, replacing a file already named to; false when it could not.
bool RenameFileReplacing(const std::string& from, const std::string& to);
// Copies the file from to to, replacing a file already named to; false when
// it could not.
bool CopyFileReplacing(const std::string& from, const std::string& to);

// The separator between the folders of a path the program builds: '\' on
// Windows, '/' where the portable code is tested natively.
char PathSeparator();
// True when a folder exists at path.
bool FolderExistsAt(const std::string& path);
// Makes one folder (its parent must exist); false when it could not.
bool CreateFolderAt(const std::string& path);
// Removes an empty folder; false when it could not.
bool RemoveFolderAt(const std::string& path);

// Creates a file that must not exist yet, for writing, unshared;
// kInvalidFileHandle when it exists already or cannot be made. Never
// truncates or replaces anything.
FileHandle CreateNewFileHandle(const std::string& path);
// Renames from over the file at to. A read-only file there is replaced too:
// its read-only attribute is cleared just before, and set again when the
// replace fails (Windows refuses to replace a read-only file otherwise).
bool ReplaceFileAt(const std::string& from, const std::string& to);

// Zip archives keep modification times as MS-DOS date (high 16 bits) and
// time (low 16 bits) in local time, to two seconds.
using DosDateTime = std::uint32_t;
// 1980-01-01 00:00, the first DOS date and time.
inline constexpr DosDateTime kDosTimeOf1980 = (1u << 5 | 1u) << 16;
// The modification time of the file at path, as a DOS date and time; empty
// when there is no such file or its time has no DOS form.
std::optional<DosDateTime> FileDosTimeAt(const std::string& path);
// Sets the modification time of an open file; false when it could not.
bool SetFileHandleDosTime(FileHandle file, DosDateTime when);

// What tells one file from another on its volume, whatever name reaches it
// (another case of a letter, a short 8.3 name, a link).
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  auto operator<=>(const FileIdentity&) const = default;
};
// The identity of the file at path (links followed), or of an open file;
// empty when there is no such file or the system cannot tell.
std::optional<FileIdentity> FileIdentityAt(const std::string& path);
std::optional<FileIdentity> FileHandleIdentity(FileHandle file);

// Directory: a folder (the word Folder is a shell interface in <shlobj.h>).
enum class EntryKind { Missing, File, Directory };

struct FileFacts {
  EntryKind kind = EntryKind::Missing;
  std::uint64_t size = 0;
  // Last-write time; times without a DOS form become 1980-01-01 00:00.
  DosDateTime dosDateTime = 0;
};
// The facts of the file or folder at path (links followed).
FileFacts QueryFile(const std::string& path);

struct FolderEntry {
  std::string name;
  EntryKind kind = EntryKind::File;
  // A folder reached through a link or reparse point: listed, never walked,
  // so that a link back up the tree cannot make a walk endless.
  bool isLink = false;
};
// The entries of folder ("" is the current folder; '/' and '\' both end a
// folder on Windows), without "." and "..", sorted by name byte by byte so
// that archives come out the same on every system; nullopt when the folder
// cannot be read.
std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder);

// The user's folder for temporary files as the system reports it (on
// Windows with a trailing backslash); empty when it reports none. A folder
// over 1,023 characters comes back cut to that length.
std::string TemporaryFolder();
// The seconds, 0 to 59, of the current local time.
int LocalTimeSeconds();

// Why the last call of this seam that reported a failure failed, in the
// system's words: one line, without a final full stop (the error box adds
// one). Read it right after the failure.
std::string LastFileSystemErrorText();
