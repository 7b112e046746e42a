// The uninstaller's last word: the text it ends with (what stayed and why,
// what goes when Windows next starts, a word on a folder it kept, and "TAV
// Quillbox was removed." only when it was) and its exit code.
#pragma once

#include <string>

#include "uninstall/Removal.h"

inline constexpr const char* kRemovedMessage = "TAV Quillbox was removed.";

// Exit codes, for deployment scripts: 0 and the reboot code that installers
// commonly use; anything else means that something of TAV Quillbox stayed.
inline constexpr int kExitRemoved = 0;
inline constexpr int kExitIncomplete = 1;
// The command line was wrong, the folder was refused, or the user said no.
inline constexpr int kExitNothingRemoved = 2;
// All is removed but what Windows removes when it next starts
// (ERROR_SUCCESS_REBOOT_REQUIRED).
inline constexpr int kExitRestartNeeded = 3010;

// Lines end in CR LF, as a message box and a Windows text file show them.
std::string ReportText(const RemovalReport& report);

int ExitCode(const RemovalReport& report);

// The question for a folder that no registry entry names: the user confirms
// it by name, or nothing is removed.
std::string UnregisteredFolderQuestion(const std::string& folder);
