// Removing one installation of TAV Quillbox: what the installation wrote into
// the registry, its shortcuts and its files, and nothing that belongs to
// anyone else.
//
// The installation is known by its folder, the one the uninstaller was
// installed into. A registry entry or shortcut is removed only when it names
// this installation:
// - the shortcuts "TAV Quillbox.lnk" in the Start Menu's Programs folder and
//   on the Desktop: when they start this folder's program;
// - the "TAV file" document type: when its open command starts this folder's
//   program; the ".tav" extension: when, besides, it names "TAV file";
// - the "Uninstall" entry: when its command names this folder's uninstaller;
// - each App Paths key: when its default value names this folder's program
//   or its "Path" names this folder;
// - the "SOFTWARE\TAV Quillbox" keys under both roots: unless the "Uninstall"
//   entry names another installation, which still needs them.
// Then the installed files (a fixed list, never a pattern) that are present
// in the folder, and the folder itself when nothing else is left in it.
// Whatever is not there is not missed: a second run has nothing to do.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "uninstall/UninstallSystem.h"

struct RemovalReport {
  std::string folder;
  // What belongs to the installation and could not be removed, as the user
  // reads it (paths, registry keys with their root's name).
  std::vector<std::string> notRemoved;
  // The folder stays: it holds files the installation did not put there.
  bool folderKept = false;
};

// folder: the installation folder, without a "\" at the end.
RemovalReport RemoveInstallation(UninstallSystem& system, const std::string& folder,
                                 std::span<const char* const> installedFiles);
