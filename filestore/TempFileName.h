// Names of the file store's temporary files: "~fs", the seconds of the
// current time, a counter and the carried file's extension, in the user's
// folder for temporary files ("C:\Temp\~fs420.dll").
#pragma once

#include <cstddef>
#include <string>

// The longest folder for temporary files the file store accepts, in
// characters: the room the system is asked to fill.
inline constexpr std::size_t kMaxTemporaryFolderLength = 260;

// Takes the first free name folder + "~fs" + seconds + k + extension
// (k = 0, 1, ...; a folder of that name does not count as taken) and creates
// that file empty, so that the name is taken. One separator at the end of
// folder is dropped before the separator of the name is added. Whether the
// file could be created is not reported: whoever opens it next finds out.
std::string TakeTemporaryFileName(const std::string& folder, int seconds, const std::string& extension);

// TakeTemporaryFileName in the system's folder for temporary files at the
// current local time. A system that reports no such folder, or one longer
// than kMaxTemporaryFolderLength, is an error (Exception): the file store
// never writes a carried file anywhere else.
std::string TakeTemporaryFileName(const std::string& extension);
