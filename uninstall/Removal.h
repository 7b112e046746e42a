// Removing one installation of TAV Quillbox: what the installation wrote into
// the registry, its shortcuts and its files, and nothing that belongs to
// anyone else.
//
// The installation is known by its folder, the one the uninstaller runs
// from. Files are removed only from a folder that the installation's
// registry entries name (or that the user confirmed by name), never from a
// drive's root, never through a link to another place. A registry entry or
// shortcut is removed only when it names this installation:
// - the shortcuts "TAV Quillbox.lnk" in the Start Menu's Programs folder and
//   on the Desktop: when they start this folder's program;
// - the "TAV file" document type: when its open command starts this folder's
//   program; the ".tav" extension: when, besides, it names "TAV file";
// - each App Paths key: when its default value names this folder's program
//   or its "Path" names this folder;
// - under "SOFTWARE\TAV Quillbox" of both roots, the value the installation
//   wrote, and the key when nothing else is left in it: unless the
//   "Uninstall" entry names another installation, which still needs them;
// - the installed files (a fixed list, never a pattern) and the folder
//   itself when nothing else is left in it;
// - last, the "Uninstall" entry, when its command names this folder's
//   uninstaller and the files are gone: while any stays, the entry stays, so
//   that the removal can be made again from the list of programs.
// Whatever is not there is not missed: a second run has nothing to do.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "uninstall/UninstallSystem.h"

// Whether files may be removed from a folder.
struct FolderCheck {
  enum class Verdict { Registered, NotRegistered, Refused };
  Verdict verdict = Verdict::Refused;
  std::string fullPath;  // the folder's full path (see UninstallSystem::FullPath)
  std::string refusal;   // for Refused: why, as the user reads it
};

FolderCheck CheckFolder(UninstallSystem& system, const std::string& folder);

struct RemovalRequest {
  // The installation folder: the one the uninstaller was started from.
  std::string folder;
  // The user confirmed this folder by name although no registry entry names
  // it.
  bool folderConfirmed = false;
  // A program of the folder that is still running and cannot be removed
  // (the uninstaller that waits for this removal): it is set aside instead.
  std::string runningProgram;
};

struct RemovalItem {
  std::string what;  // a path, or a registry key or value with its root's name
  std::string why;
};

struct RemovalReport {
  std::string folder;
  // Not empty: nothing was removed, and this says why.
  std::string refusal;
  // What belongs to the installation and stayed.
  std::vector<RemovalItem> stayed;
  // What Windows removes when it next starts.
  std::vector<std::string> atRestart;
  // The folder stays: it holds files the installation did not put there.
  bool folderKept = false;
};

RemovalReport RemoveInstallation(UninstallSystem& system, const RemovalRequest& request,
                                 std::span<const char* const> installedFiles);
