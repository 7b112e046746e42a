// Splitting a Windows path text at its separators ("\" and the drive's ":"),
// on the 8-bit text alone: nothing is asked of the file system.
#pragma once

#include <string>

// From the last "." that stands after the last "\" or ":" to the end; empty
// when the file name part has no ".". "C:\a.b\c" has none.
std::string ExtensionOf(const std::string& path);

// Up to and including the last "\" or ":"; empty when there is neither.
std::string FolderOf(const std::string& path);

// Only the letters a to z changed, whatever the code page makes of the rest.
std::string UpperCaseAscii(std::string text);

// Whether path names a shell link file: extension ".LNK" in any mix of capitals.
bool HasLinkExtension(const std::string& path);
