// The main setup window: welcome text, destination folder with "Browse ...",
// the three options, and the buttons "View ReadMe ...", "Install" and
// "Cancel"; it also carries the files to install (three file sources), the
// zip archive component and the folder browser.
#pragma once

#include "filestore/FileSrc.h"
#include "sysint/FBrowse_win.h"
#include "winui/Buttons_win.h"
#include "winui/Edits_win.h"
#include "winui/Form_win.h"
#include "winui/GraphicControls_win.h"
#include "winui/GroupBox_win.h"
#include "winui/ProgressBar_win.h"
#include "winui/SpeedButton_win.h"
#include "zip/ZipMstr.h"

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);
  std::string ClassName() const override { return "TForm1"; }

  TZipMaster* Zip = nullptr;
  TFileSource* fs_zipdll = nullptr;
  TFileSource* fs_unzdll = nullptr;
  TFileSource* fs_zip = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TEdit* e_Dir = nullptr;
  TButton* b_Install = nullptr;
  TButton* b_Cancel = nullptr;
  TCheckBox* chb_Associate = nullptr;
  TCheckBox* chb_StartMenu = nullptr;
  TCheckBox* chb_Desktop = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TButton* b_ReadMe = nullptr;
  TImage* Image1 = nullptr;
  TBevel* Bevel1 = nullptr;
  TLabel* Label1 = nullptr;
  TProgressBar* progress = nullptr;
  TFolderBrowse* FolderBrowse = nullptr;
  TImage* Image2 = nullptr;

  void f_fromClick(TComponent* sender);
  void b_CancelClick(TComponent* sender);
  void FormShow(TComponent* sender);
  void b_InstallClick(TComponent* sender);
  void b_ReadMeClick(TComponent* sender);
  void FormCreate(TComponent* sender);
};

extern TForm1* Form1;
