// setup_window_preview splash|readme: shows one of the setup program's
// windows and stays, so that scripts/screenshots.sh can photograph windows
// that the program itself shows only for a moment (the splash) or after a
// click (a ReadMe window). Not shipped.
#include <windows.h>

#include <cstring>

#include "filestore/FileSrc.h"
#include "setup/fmain.h"
#include "setup/fsplash.h"
#include "sysint/FBrowse_win.h"
#include "winui/Application_win.h"
#include "winui/StandardControls.h"
#include "zip/ZipMstr.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  Application.Initialize();
  RegisterStandardControls();
  RegisterZipMstrComponents();
  RegisterFileSrcComponents();
  RegisterFBrowseComponents();
  Application.SetTitle("TAV Quillbox Setup");
  try {
    if (std::strcmp(commandLine, "splash") == 0) {
      ShowSplash();
    } else {
      Application.CreateForm(Form1);
      Form1->Show();
      Form1->b_ReadMe->Click();
    }
  } catch (...) {
    Application.HandleException();
    return 1;
  }
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
