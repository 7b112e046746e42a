// The uninstaller's command line. Windows' list of installed programs starts
// it without arguments; the rest serve unattended runs and its own second
// stage:
//   /S               silent: no question, no message box; answers yes, and
//                    ends only when the removal has ended, with its result as
//                    exit code
//   /REPORT=file     where a silent run writes its closing report
//   /REMOVE=path     this process is the temporary copy that removes the
//                    installation whose uninstaller is path ...
//   /WAIT=handle     ... once the process with this inherited handle
//                    (decimal), the original uninstaller, has ended
//   /CONFIRMED       ... from a folder that no registry entry names, as the
//                    user confirmed it by name
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct UninstallArguments {
  bool silent = false;
  std::string reportPath;
  std::string original;
  std::uint64_t originalProcess = 0;
  bool folderConfirmed = false;
  // Not empty: the command line is wrong, and this says how.
  std::string error;

  bool IsTemporaryCopy() const { return !original.empty(); }
};

// arguments: the command line's words after the program's name. A wrong
// word is named in error; the words before and after it are still read, so
// that a silent run stays silent and its report goes where it was asked to.
UninstallArguments ParseUninstallArguments(const std::vector<std::string>& arguments);

// The words of a command line that starts the temporary copy: the inverse of
// ParseUninstallArguments for its fields that are set.
std::vector<std::string> TemporaryCopyArguments(const UninstallArguments& forCopy);

// One command line from words, each quoted so that the C runtime's rules
// give back exactly that word (blanks, quotes and backslashes before them).
std::string JoinCommandLine(const std::vector<std::string>& words);
