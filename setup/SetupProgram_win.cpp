#include "setup/SetupProgram_win.h"

#include <windows.h>

#include <objbase.h>

#include <exception>
#include <new>

#include "base/Exception.h"
#include "filestore/FileSrc.h"
#include "filestore/LZRW1KH.h"
#include "setup/fmain.h"
#include "setup/fsplash.h"
#include "sysint/FBrowse_win.h"
#include "winui/Application_win.h"
#include "winui/ErrorText.h"
#include "winui/StandardControls.h"
#include "zip/ZipMstr.h"

namespace {

// COM for the thread (the shell-link object needs it) and the codec's table,
// released in the reverse order when the program ends.
class ModuleLifetime {
 public:
  ModuleLifetime() = default;
  ModuleLifetime(const ModuleLifetime&) = delete;
  ModuleLifetime& operator=(const ModuleLifetime&) = delete;
  ~ModuleLifetime() {
    if (comInitialized_) CoUninitialize();
    FinalizeLzrw1KH();
  }
  void Initialize() {
    InitializeLzrw1KH();
    comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
  }

 private:
  bool comInitialized_ = false;
};

}  // namespace

std::string FatalErrorText() {
  try {
    throw;
  } catch (const ELzrw1KHCompressor& error) {
    return "ELzrw1KHCompressor: " + ErrorBoxText(error.Message());
  } catch (const EStreamError& error) {
    return "EStreamError: " + ErrorBoxText(error.Message());
  } catch (const Exception& error) {
    return "Exception: " + ErrorBoxText(error.Message());
  } catch (const std::bad_alloc&) {
    return "EOutOfMemory: Out of memory.";
  } catch (const std::exception& error) {
    return std::string("Error: ") + ErrorBoxText(error.what());
  } catch (...) {
    return "Unknown error.";
  }
}

int RunSetupProgram(void (*checkProgramFile)()) {
  ModuleLifetime modules;
  try {
    if (checkProgramFile != nullptr) checkProgramFile();
    Application.Initialize();
    RegisterStandardControls();
    ShowSplash();
    RegisterZipMstrComponents();
    RegisterFileSrcComponents();
    RegisterFBrowseComponents();
    modules.Initialize();
    Application.SetTitle("TAV Quillbox Setup");
    Application.CreateForm(Form1);
  } catch (...) {
    const std::string text = FatalErrorText();
    MessageBoxA(nullptr, text.c_str(), "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return 1;
  }
  Application.Run();
  return 0;
}
