// How a running uninstaller removes its own file, as Windows allows it: a
// program cannot delete the file it runs from, so the uninstaller copies
// itself into the temporary folder and starts the copy, handing it its own
// process handle, and ends. The copy waits for it to end, removes the
// installation (the original uninstaller among its files), and has its own
// file deleted when Windows next starts (MoveFileExA with
// MOVEFILE_DELAY_UNTIL_REBOOT): nothing that could delete it runs after it.
#pragma once

#include <cstdint>
#include <string>

#include "uninstall/Arguments.h"

// The full path of the running program.
std::string ThisProgramPath();

// Copies this program into the temporary folder and starts the copy with
// arguments (original and originalProcess filled in here) in the temporary
// folder, so that it holds no handle in the installation's folder. False
// when the copy cannot be made or started: the caller then removes what it
// can itself.
bool StartTemporaryCopy(UninstallArguments arguments);

// Waits, within reason, for the original uninstaller to end, and lets its
// handle go.
void WaitForOriginalToEnd(std::uint64_t processHandle);

// Has the running program's file deleted when Windows next starts.
void ScheduleRemovalOfThisProgram();
