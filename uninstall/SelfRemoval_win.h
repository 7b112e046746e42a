// How a running uninstaller removes its own file, as Windows allows it: a
// program cannot delete the file it runs from, so the uninstaller copies
// itself into a folder of its own in the temporary folder and starts the
// copy, which removes the installation (the original uninstaller among its
// files) and has its own file and folder deleted when Windows next starts.
//
// Whoever can write to the temporary folder (the user's own, under
// elevation; C:\Windows\Temp when a deployment tool runs as SYSTEM) must not
// be able to put a library beside the copy or swap it before it starts: the
// folder is new, named unpredictably and open only to SYSTEM, the
// administrators and the user; the copy is a new file, held shared for
// reading only until it has started; and it inherits no handle but the one
// it is given.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "uninstall/Arguments.h"

// The full path of the running program.
std::string ThisProgramPath();

// A new folder in the temporary folder, "~tavuninst-" and 16 random
// hexadecimal digits, that only SYSTEM, the administrators and the user may
// enter; empty when none could be made.
std::string MakePrivateFolder();

// A copy of a program, made into a file that did not exist, read back and
// held, shared for reading only, for as long as this object lives.
class HeldCopy {
 public:
  HeldCopy(const std::string& source, const std::string& target);
  ~HeldCopy();
  HeldCopy(const HeldCopy&) = delete;
  HeldCopy& operator=(const HeldCopy&) = delete;

  // The copy is there, as its source is, and held.
  bool Made() const { return held_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE held_ = INVALID_HANDLE_VALUE;
};

// Starts program with arguments in folder; it inherits inherited alone
// (none when null). The new process's handle, or null.
HANDLE StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& folder, HANDLE inherited);

// Copies this program into a private folder and starts the copy there with
// arguments (original filled in here). With waitForThis the copy waits for
// this process to end, through an inherited handle. The copy's process
// handle, or null when the copy could not be made or started: the caller
// then removes what it can itself.
HANDLE StartTemporaryCopy(UninstallArguments arguments, bool waitForThis);

// Waits, within reason, for the original uninstaller to end, and lets its
// handle go.
void WaitForOriginalToEnd(std::uint64_t processHandle);

// Has a file or an empty folder deleted when Windows next starts.
void RemoveAtNextStart(const std::string& path);
