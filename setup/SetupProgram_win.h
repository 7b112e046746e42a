// The setup program from start to end, in a library so that tests can run it
// in-process: the exe's entry only narrows the library search and calls it.
#pragma once

#include <string>

// Start-up in its fixed order (window layer, splash, other modules, COM,
// title, main window), the message loop, and the end. Returns the exit
// code: 0 after a normal end, 1 after a fatal start-up error, which is shown
// in a task-modal box captioned "Application Error". checkProgramFile, when
// given, runs before anything else and may raise such an error (the real
// program checks its own file; tests run the program in-process).
int RunSetupProgram(void (*checkProgramFile)() = nullptr);

// The text of that box: the kind of the error being handled and its message.
// Call inside a catch block.
std::string FatalErrorText();
