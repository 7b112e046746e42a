// tavqbx21: the entry of the TAV Quillbox One Step Install program.
#include <windows.h>

#include "setup/ProgramCheck_win.h"
#include "setup/SetupProgram_win.h"
#include "zip/DllSearch.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything can load a library by bare name: never from the folder
  // the setup was started from.
  RestrictDllSearch();
  return RunSetupProgram(CheckProgramFile);
}
