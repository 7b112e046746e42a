// The name a file is stored under in an archive, and the names that cannot be
// stored safely. A stored name is relative, uses '/' between elements and
// reads back on Windows as the same file: unzip libraries refuse, and some
// older ones obey, names that climb out of the destination.
#pragma once

#include <string>
#include <string_view>

struct MemberNameResult {
  std::string name;     // the stored name, when accepted
  std::string refusal;  // why the path cannot be stored; empty when accepted
};

// path is the file's path as walked from the file specification ('/' or '\'
// between elements). With folderNames the folders stay in the name, minus a
// drive ("C:") and leading separators, so that absolute paths are stored
// relative; without, only the last element is kept. Empty and "." elements
// are dropped. Refused: a ".." element, an element holding a control
// character or one of : * ? " < > |, an element ending in a dot or a space,
// a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an
// extension), an empty result, and a name longer than 65535 bytes.
MemberNameResult MemberNameFor(std::string_view path, bool folderNames);
