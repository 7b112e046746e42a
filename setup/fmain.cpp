#include "setup/fmain.h"

#include "setup/MainWindowInstall_win.h"
#include "setup/helpform.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "winui/Screen_win.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  Publish("Zip", Zip);
  Publish("fs_zipdll", fs_zipdll);
  Publish("fs_unzdll", fs_unzdll);
  Publish("fs_zip", fs_zip);
  Publish("GroupBox1", GroupBox1);
  Publish("e_Dir", e_Dir);
  Publish("b_Install", b_Install);
  Publish("b_Cancel", b_Cancel);
  Publish("chb_Associate", chb_Associate);
  Publish("chb_StartMenu", chb_StartMenu);
  Publish("chb_Desktop", chb_Desktop);
  Publish("SpeedButton1", SpeedButton1);
  Publish("b_ReadMe", b_ReadMe);
  Publish("Image1", Image1);
  Publish("Bevel1", Bevel1);
  Publish("Label1", Label1);
  Publish("progress", progress);
  Publish("FolderBrowse", FolderBrowse);
  Publish("Image2", Image2);
  Handler("f_fromClick", &TForm1::f_fromClick);
  Handler("b_CancelClick", &TForm1::b_CancelClick);
  Handler("FormShow", &TForm1::FormShow);
  Handler("b_InstallClick", &TForm1::b_InstallClick);
  Handler("b_ReadMeClick", &TForm1::b_ReadMeClick);
  Handler("FormCreate", &TForm1::FormCreate);
  Initialize("TForm1");
}

void TForm1::FormCreate(TComponent*) {}

void TForm1::FormShow(TComponent*) {
  Label1->SetCaption(
      "Welcome to TAV Quillbox 2.1 Install program.\r\n"
      "It is recommend to close all other programs you are running.\r\n"
      "Disk space required: 2 MB\r\n");
  Win32System windows;
  e_Dir->SetText(GetDefaultInstallDir(windows));
  // The hidden progress bar's strip goes until the install shows the bar.
  SetHeight(Height() - progress->Height());
}

void TForm1::f_fromClick(TComponent*) {
  FolderBrowse->Directory = e_Dir->Text();
  if (FolderBrowse->Execute(Handle())) e_Dir->SetText(FolderBrowse->Directory);
}

void TForm1::b_CancelClick(TComponent*) { Close(); }

void TForm1::b_ReadMeClick(TComponent*) {
  const TBusyCursor busy;
  f_Help = new Tf_Help(this);
  f_Help->Show();
}

void TForm1::b_InstallClick(TComponent*) {
  MainWindowInstall install(*this);
  RunInstallSequence(install);
}
