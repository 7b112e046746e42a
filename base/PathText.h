// Splitting a Windows path text at its separators ("\", "/" and the drive's
// ":"), on the 8-bit text alone: nothing is asked of the file system.
#pragma once

#include <string>
#include <string_view>

// From the last "." that stands after the last separator to the end; empty
// when the file name part has no ".". "C:\a.b\c" has none.
std::string ExtensionOf(const std::string& path);

// Up to and including the last separator; empty when there is none.
std::string FolderOf(const std::string& path);

// Whether path begins with a drive: a letter a to z in either case and ":".
bool HasDrivePrefix(std::string_view path);

// Whether path's extension is extension (".LNK"), in any mix of capitals.
bool HasExtension(const std::string& path, std::string_view extension);

// Whether one element of a path names a device on Windows: CON, PRN, AUX,
// NUL, COM1-9, LPT1-9 in any mix of capitals, whatever the extension
// ("NUL.txt" is the device too) and with blanks before it; the superscript
// digits 1, 2 and 3 of the ANSI code page count as digits too.
bool IsReservedDeviceName(std::string_view element);
