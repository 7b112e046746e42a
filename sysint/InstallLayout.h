// What the installation leaves behind, as names: the registry key paths it
// reads and writes, and the paths it derives from the destination folder.
//
// The destination is used exactly as the user typed it: "\" is appended and
// nothing is trimmed, so a destination ending in "\" gives doubled
// backslashes in every derived path (and "Path" keeps it as typed).
#pragma once

#include <string>

inline constexpr const char* kProductName = "TAV Quillbox";
inline constexpr const char* kInstalledVersion = "2.1.1";

inline constexpr const char* kAppPathsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox";
inline constexpr const char* kAppPathsExeKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox.exe";
inline constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TAV Quillbox";
inline constexpr const char* kProductKey = "SOFTWARE\\TAV Quillbox";
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

inline constexpr const char* kDocumentExtension = ".tav";
inline constexpr const char* kDocumentType = "TAV file";
inline constexpr int kDocumentIconIndex = 1;

// destination, "\", "TAV Quillbox.exe"
std::string ProgramPath(const std::string& destination);

// destination, "\", "UNINSTALL.EXE"
std::string UninstallerPath(const std::string& destination);

// The uninstaller's path in double quotes: a path with blanks, given bare to
// a program starter that reads the command line itself, could start
// "C:\Program.exe" or another file planted where the path first breaks.
std::string UninstallCommand(const std::string& destination);

// The quoted program path, a blank and the quoted placeholder: "P" "%1"
std::string OpenCommand(const std::string& programPath);

// programPath, ",", iconIndex in decimal
std::string IconValue(const std::string& programPath, int iconIndex);

// shellFolder (already ending in "\") followed by "TAV Quillbox.lnk"
std::string ShortcutFile(const std::string& shellFolder);
