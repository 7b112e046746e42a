// The install sequence's host on the main window.
#include "setup/MainWindowInstall_win.h"

#include "setup/fmain.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "winui/Application_win.h"
#include "winui/Screen_win.h"

void MainWindowInstall::SetBusyCursor(bool busy) {
  Screen.SetCursor(busy ? TCursor::crHourGlass : TCursor::crDefault);
}

void MainWindowInstall::ShowProgressBar() {
  // Gives back the strip that the show handler took for the hidden bar.
  form_.SetHeight(form_.Height() + form_.progress->Height());
  form_.progress->Show();
  form_.Update();
}

void MainWindowInstall::SetProgress(int percent) { form_.progress->SetPosition(percent); }

std::string MainWindowInstall::Destination() { return form_.e_Dir->Text(); }

InstallOptions MainWindowInstall::Options() {
  return {form_.chb_Associate->Checked(), form_.chb_StartMenu->Checked(), form_.chb_Desktop->Checked()};
}

void MainWindowInstall::HideWindow() { form_.Hide(); }

void MainWindowInstall::ShowInstalledBox() {
  // No owner: centred on the screen; task-modal: open ReadMe windows wait.
  MessageBoxA(nullptr, "TAV Quillbox installed.", "Information", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

void MainWindowInstall::ShowErrorBox() { Application.HandleException(); }

void MainWindowInstall::CloseWindow() { form_.Close(); }

std::string MainWindowInstall::CarriedFileName(CarriedFile file) {
  switch (file) {
    case CarriedFile::ZipLibrary: return form_.fs_zipdll->FileName();
    case CarriedFile::UnzipLibrary: return form_.fs_unzdll->FileName();
    case CarriedFile::Archive: break;
  }
  return form_.fs_zip->FileName();
}

TZipMaster& MainWindowInstall::Zip() { return *form_.Zip; }

bool MainWindowInstall::LoadUnzipLibrary() {
  form_.Zip->LoadUnzipLibrary();
  return TZipMaster::UnzipLibraryLoaded();
}

ExtractionOutcome MainWindowInstall::Extract() {
  // The library is loaded already, so the extraction leaves it loaded; it
  // is unloaded, and the message handler unbound, on every way out of here.
  class Scope {
   public:
    explicit Scope(TZipMaster& zip) : zip_(zip) {}
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    ~Scope() {
      zip_.SetOnMessage(nullptr);
      TZipMaster::UnloadUnzipLibrary();
    }

   private:
    TZipMaster& zip_;
  } scope(*form_.Zip);
  ExtractionOutcome outcome;
  // The library's messages are shown nowhere; the first failure among them
  // says why an extraction fell short.
  form_.Zip->SetOnMessage([&outcome](TComponent*, std::int32_t errorCode, const std::string& message) {
    if (errorCode != 0 && outcome.FirstProblem.empty()) outcome.FirstProblem = message.c_str();
  });
  form_.Zip->Extract();
  outcome.ResultCount = form_.Zip->ResultCount();
  return outcome;
}

void MainWindowInstall::RegisterInstallation(const std::string& destination, const InstallOptions& options) {
  Win32System windows;
  ::RegisterInstallation(windows, destination, options.Associate, options.StartMenu, options.Desktop);
}
