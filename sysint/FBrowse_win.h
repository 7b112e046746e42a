// The folder browser: a non-visual component that shows the system's folder
// chooser over an owner window and hands back the chosen folder's path.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "component/Component.h"

class TFolderBrowse : public TComponent {
 public:
  using TComponent::TComponent;

  // On entry to Execute the folder to preselect (empty: none); after a
  // choice, the chosen folder's path as the shell gives it.
  std::string Directory;
  // Shown above the folder tree; empty shows none.
  std::string Title;

  std::string ClassName() const override { return "TFolderBrowse"; }

  // Shows the dialog modally over owner. True when a file-system folder was
  // chosen (Directory then holds it); false on cancel, leaving Directory as
  // it was, or for an item without a file-system path.
  bool Execute(HWND owner);

 protected:
  void DeclareProperties(PropertyTable& table) override;
};

// The dialog's callback: on initialisation selects the folder that Directory
// of the TFolderBrowse in callbackData names. Always returns 0.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM messageData,
                            LPARAM callbackData) noexcept;

// Makes "TFolderBrowse" known to the window description reader.
void RegisterFBrowseComponents();
