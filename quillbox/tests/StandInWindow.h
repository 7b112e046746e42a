// Finding the stand-in program's window from a test, by the process that
// owns it, and reading what it shows: the test sees what a user would.
#pragma once

#include <windows.h>

#include <string>

// The text the stand-in's window shows, once the process has made it
// (waiting up to a few seconds); empty when no such window appeared.
std::string WaitForStandInText(HANDLE process);

// Closes the stand-in's window as a user would; true when the process then
// ended with exit code 0.
bool CloseStandIn(HANDLE process);
