#include "setup/tests/SetupTestEnvironment.h"

#include "filestore/FileSrc.h"
#include "sysint/FBrowse.h"
#include "winui/StandardControls.h"
#include "winui/tests/DialogWatcher.h"
#include "zip/ZipMstr.h"

void PrepareWindowLayer() {
  Application.Initialize();
  RegisterStandardControls();
  RegisterZipMstrComponents();
  RegisterFileSrcComponents();
  RegisterFBrowseComponents();
  Application.SetTitle("TAV Quillbox Setup");
}

void MainWindowTest::SetUp() {
  PrepareWindowLayer();
  Application.CreateForm(Form1);
  ASSERT_EQ(Application.MainForm(), Form1);
}

void MainWindowTest::TearDown() {
  // A closed main window left the loop's quit message waiting: take it here.
  Application.ProcessMessages();
  Application.DestroyMainForm();
}

void MainWindowTest::ShowMainWindow() {
  Form1->Show();
  PumpUntil([] { return IsWindowVisible(Form1->Handle()) != FALSE; });
  Application.ProcessMessages();
}

RECT ClientRelativeRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}
