// The text the uninstaller ends with: what it could not remove, a word on a
// folder it kept, and "TAV Quillbox was removed."
#pragma once

#include <string>

#include "uninstall/Removal.h"

inline constexpr const char* kRemovedMessage = "TAV Quillbox was removed.";

// Lines end in CR LF, as a message box and a Windows text file show them.
std::string ReportText(const RemovalReport& report);
