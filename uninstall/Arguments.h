// The uninstaller's command line. Windows' list of installed programs starts
// it without arguments; the rest serve its own second stage and unattended
// runs:
//   /S               silent: no question, no message box; answers yes
//   /REPORT=file     where a silent run writes its closing report
//   /REMOVE=path     this process is the temporary copy that removes the
//                    installation whose uninstaller is path ...
//   /WAIT=handle     ... once the process with this inherited handle
//                    (decimal), the original uninstaller, has ended
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct UninstallArguments {
  bool silent = false;
  std::string reportPath;
  std::string original;
  std::uint64_t originalProcess = 0;

  bool IsTemporaryCopy() const { return !original.empty(); }
};

// arguments: the command line's words after the program's name. Throws
// Exception for an unknown argument or an incomplete pair /REMOVE, /WAIT.
UninstallArguments ParseUninstallArguments(const std::vector<std::string>& arguments);

// The words of a command line that starts the temporary copy: the inverse of
// ParseUninstallArguments for its fields that are set.
std::vector<std::string> TemporaryCopyArguments(const UninstallArguments& forCopy);

// One command line from words, each quoted so that the C runtime's rules
// give back exactly that word (blanks, quotes and backslashes before them).
std::string JoinCommandLine(const std::vector<std::string>& words);
