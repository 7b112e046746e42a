// The operating system's files, behind a few functions: FileSystem_posix.cpp
// and FileSystem_win.cpp are the only places that call the system for them.
// Paths are 8-bit texts in the system's ANSI code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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
