// Reading the paths and command lines that the installation left in the
// registry: the registry keeps the destination exactly as the user typed it
// ("C:\Apps\.\TAV Quillbox", a doubled "\", a short 8.3 name, "\\?\"), and
// earlier installations wrote the uninstall command without quotes. Whether
// two paths name one file is the system's to say (UninstallSystem::FullPath
// and SameFullPath); these are the parts that need no system.
#pragma once

#include <string>
#include <vector>

// path without the "\\?\" prefix that only switches the system's parsing off
// ("\\?\UNC\server\share" is "\\server\share"), with "/" as "\" and runs of
// "\" as one (a network path's leading "\\" kept).
std::string PlainPathText(const std::string& path);

// Whether a plain path text names one place whatever the current folder is:
// "X:\..." or "\\server\share...". "C:" alone means the current folder on
// drive C and "C:x" a name in it: neither is full.
bool IsFullPath(const std::string& plainPath);

// Whether a full path names the root of a drive or of a network share.
bool IsRootFolder(const std::string& fullPath);

// The folder part of a file's path: all before the last "\" (a root keeps
// its "\": "C:\" for "C:\uninstall.exe"); empty when there is no "\".
std::string FolderOfPath(const std::string& path);

// The programs that a command line may start, as the system's own reading
// allows: quoted, the text inside the quotes; unquoted (as earlier
// installations wrote paths with blanks), every start of the command that
// ends before a blank, and the whole command.
std::vector<std::string> CommandProgramCandidates(const std::string& command);
