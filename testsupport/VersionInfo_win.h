// A built program's version record, read as Windows' file properties read it.
#pragma once

#include <string>
#include <vector>

// The program's whole version record; empty when it has none.
std::vector<char> VersionInfoOf(const char* path);

// One text of the record's US English, Unicode string table ("FileVersion",
// "ProductName", ...); empty when the record has no such text.
std::string VersionString(const std::vector<char>& info, const char* name);
