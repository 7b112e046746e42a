// The install sequence's host in the setup program: the main window, its
// file sources, its zip archive component, the registration and the boxes.
#pragma once

#include "setup/InstallSequence.h"

class TForm1;

class MainWindowInstall : public InstallHost {
 public:
  explicit MainWindowInstall(TForm1& form) : form_(form) {}

  void SetBusyCursor(bool busy) override;
  void ShowProgressBar() override;
  void SetProgress(int percent) override;
  std::string Destination() override;
  InstallOptions Options() override;
  void HideWindow() override;
  void ShowInstalledBox() override;
  void ShowErrorBox() override;
  void CloseWindow() override;
  std::string CarriedFileName(CarriedFile file) override;
  TZipMaster& Zip() override;
  bool LoadUnzipLibrary() override;
  ExtractionOutcome Extract() override;
  void RegisterInstallation(const std::string& destination, const InstallOptions& options) override;

 private:
  TForm1& form_;
};
