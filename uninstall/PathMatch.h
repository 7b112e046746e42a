// Whether a path or a command line that the installation left behind names a
// given file, judged on the texts alone: the registry keeps paths exactly as
// the user typed the destination, so "C:\Apps\\TAV Quillbox.exe" and
// "c:\apps\TAV Quillbox.exe" are one file to Windows and must be one here.
#pragma once

#include <string>

// Equal after both are put into one form: letters a to z in lower case, "/"
// as "\", runs of "\" as one (a leading "\\" of a network path kept), no "\"
// at the end.
bool SamePath(const std::string& left, const std::string& right);

// Whether the program that command starts is program: the quoted first word
// of the command, or, unquoted, the command's start up to a blank or its end
// (so an unquoted path with blanks still matches).
bool CommandStartsProgram(const std::string& command, const std::string& program);
