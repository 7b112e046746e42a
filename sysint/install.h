// The installation's meeting points with Windows: the destination offered at
// first, the per-user shell folders, the registry entries that make the
// installed application known to the system, and its shortcut files.
//
// All of it runs on the program's user-interface thread, on the system given
// (Win32System for the real one); failures are Exceptions carrying the texts
// the user sees.
#pragma once

#include <string>

#include "sysint/WindowsSystem.h"

// --- Reading: the default destination and the shell folders ---

// The text of a string value (REG_SZ or REG_EXPAND_SZ, returned as stored, up
// to its first NUL); empty when the key or the value is absent, holds no
// data, or the key cannot be opened. The key is opened for reading only, so
// an ordinary user reads what is there. Throws "Invalid data type for '%s'"
// for a value of another type and "Failed to get data for '%s'" when the
// value cannot be read after its size was taken (the value name in place of
// %s).
std::string ReadRegString(WindowsSystem& system, RegistryRoot root, const std::string& keyPath,
                          const std::string& valueName);

// The folder offered as destination: "Path" of the application's App Paths
// key without ".exe", else of the one with ".exe" (written at install), else
// "ProgramFilesDir" followed by "\TAV Quillbox". Returned as stored: no
// separator added or removed.
std::string GetDefaultInstallDir(WindowsSystem& system);

// The Windows folder; with a trailing "\" unless the system's text is
// shorter than three characters.
std::string GetWindowsFolder(WindowsSystem& system);

// The per-user shell folder of that name ("Programs", "Desktop") from the
// "Shell Folders" key, followed by "\"; without an entry, the Windows folder
// followed by the name and "\". Neither created nor tested for existence.
std::string GetShellFolder(WindowsSystem& system, const std::string& folderName);

// --- Writing: the application's registration ---

// Writes one REG_SZ value under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER,
// creating the key path as needed (full access asked). An empty value name
// is the key's default value. Throws "Failed to set data for '%s'".
void WriteRegString(WindowsSystem& system, RegistryRoot root, const std::string& keyPath,
                    const std::string& valueName, const std::string& text);

// The same under HKEY_CLASSES_ROOT (read and write access asked). Throws
// "Error creating system registry entry".
void WriteClassesRootValue(WindowsSystem& system, const std::string& keyPath,
                           const std::string& valueName, const std::string& text);

// Associates documents of extension with the program: the extension's type
// name, the type's description, its open command and its icon (programPath
// followed by "," and iconIndex). Then tells the shell that associations
// changed.
void AssociateFileType(WindowsSystem& system, const std::string& extension, const std::string& typeName,
                       const std::string& description, const std::string& programPath, int iconIndex);

// Registers the application installed into destination (used exactly as
// typed; "\" is appended to it): its App Paths entry, the uninstall entry,
// the installed version under both roots, and as chosen the ".tav"
// association and the shortcuts in the Start Menu's Programs folder and on
// the Desktop. Stops at the first failing write; nothing written before it
// is rolled back.
void RegisterInstallation(WindowsSystem& system, const std::string& destination, bool associateFiles,
                          bool addToStartMenu, bool addToDesktop);

// --- Shortcut files ---

// Writes the shell link linkPath that starts target with arguments, in the
// target's folder, described by description. A linkPath whose extension is
// not ".LNK" in any mix of capitals only shows "Error: link path extension
// must be .LNK". A link the shell cannot save (missing folder) is silently
// not made. Throws when the shell-link object cannot be created (the
// system's text, or "OLE error %.8x" when it has none) or lacks an
// interface ("Interface not supported"). Needs COM initialised on the thread.
void CreateShortcut(WindowsSystem& system, const std::string& target, const std::string& arguments,
                    const std::string& linkPath, const std::string& description);
