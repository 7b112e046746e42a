// Turns a member's stored name into the path it is written to, or refuses it.
//
// Names are split on both '/' and '\'. Without folder names only the last
// element is used; with folder names every element is kept and checked, and
// absolute names, drive letters and ".." are refused. In both modes an
// element is refused when it is empty, "." or "..", holds a ':' (drive or
// alternate data stream), a control character or a NUL, ends in a dot or a
// space (Windows would drop them and write another name), or is a reserved
// device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an extension).
// A path that passes can only name a file inside the target folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct MemberPath {
  std::vector<std::string> elements;  // folders, then the file name
  std::string problem;                // why the name is refused; empty when it is not
};

MemberPath SanitizeMemberName(std::string_view name, bool folderNames);

// A key that is equal for two paths the file system would take for the same
// file (Windows compares names without regard to case).
std::string PathKey(const std::vector<std::string>& elements);
